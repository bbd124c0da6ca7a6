// The film recorder models the user chooses from, with the file name letter
// of each model's tables, and the device names of the device type codes.
#pragma once

#include <array>
#include <cstdint>
#include <string>

struct FilmRecorderModel {
    const char* modelText;
    const char* filePrefix;
};

// In the order of the dialog's model box.
extern const std::array<FilmRecorderModel, 12> kFilmRecorderModels;

inline constexpr const char* kDefaultModel = "Orvane A";

// The model whose text equals modelText without regard to the case of
// A-Z, or null.
const FilmRecorderModel* FindModelIgnoringCase(const std::string& modelText);

// The file name letter for a model text (exact, case-sensitive match);
// "D" for any text that names no model.
std::string ModelFilePrefix(const std::string& modelText);

// The pattern of the model's table file names: its letter and "*.ztb".
std::string ModelTablePattern(const std::string& modelText);

// The device name of a device type code, or the empty text.
const char* DeviceTypeName(std::int16_t deviceType);
