#include "catalogue/FilmRecorderModels.h"

#include <algorithm>
#include <cstddef>
#include <string_view>

#include "platform/FileNames.h"

const std::array<FilmRecorderModel, 12> kFilmRecorderModels = {{
    {"Tavik Desk", "E"},
    {"Tavik Desk Plus", "J"},
    {"Tavik Z", "F"},
    {"Tavik Z-2", "K"},
    {"Orvane A", "D"},
    {"Orvane A HX (tqa-0000 - tqa-0499)", "H"},
    {"Orvane A HX (tqa-0500 - tqa-9999)", "D"},
    {"Orvane B", "G"},
    {"Orvane B HX (tqb-0000 - tqb-0499)", "I"},
    {"Orvane B HX (tqb-0500 - tqb-9999)", "G"},
    {"Orvane C", "L"},
    {"Orvane D", "O"},
}};

namespace {

// The prefix of a text that names no model: that of the default model.
constexpr const char* kUnknownModelPrefix = "D";

struct DeviceNameRow {
    int deviceType;
    const char* name;
};

constexpr DeviceNameRow kDeviceNames[] = {
    {1002, "Orvane A"},
    {1003, "Tavik Desk"},
    {1004, "Tavik-Z"},
    {1005, "Orvane B"},
    {1006, "Orvane A - Dark"},
    {1007, "Orvane B - Dark"},
    {1008, "Tavik Plus"},
    {1009, "Tavik-Z2"},
    {1010, "Orvane C"},
    {1013, "Orvane D"},
};

const FilmRecorderModel* FindModel(const std::string& modelText) {
    for (const FilmRecorderModel& model : kFilmRecorderModels) {
        if (modelText == model.modelText) return &model;
    }
    return nullptr;
}

}  // namespace

const FilmRecorderModel* FindModelIgnoringCase(const std::string& modelText) {
    const std::string folded = platform::FoldFileNameCase(modelText);
    for (const FilmRecorderModel& model : kFilmRecorderModels) {
        if (platform::FoldFileNameCase(model.modelText) == folded) return &model;
    }
    return nullptr;
}

std::string ModelFilePrefix(const std::string& modelText) {
    const FilmRecorderModel* model = FindModel(modelText);
    return model != nullptr ? model->filePrefix : kUnknownModelPrefix;
}

std::string ModelTablePattern(const std::string& modelText) { return ModelFilePrefix(modelText) + "*.ztb"; }

const char* DeviceTypeName(std::int16_t deviceType) {
    const int code = deviceType;
    for (const DeviceNameRow& row : kDeviceNames) {
        if (row.deviceType == code) return row.name;
    }
    return "";
}
