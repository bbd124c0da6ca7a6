#include "fuzz/FolderImage.h"

#include <algorithm>

#include "catalogue/FilmRecorderModels.h"

namespace {

// Seconds from 1601-01-01 to 1990-01-01, and file time units per second.
constexpr std::uint64_t kSeconds1601To1990 = 11644473600ULL + 631152000ULL;
constexpr std::uint64_t kUnitsPerSecond = 10000000ULL;

// Reads bytes off the front of the input; past the end every read gives
// zeros and an empty run, so a short input is still a valid image.
class Reader {
public:
    explicit Reader(std::span<const unsigned char> bytes) : bytes_(bytes) {}

    bool AtEnd() const { return position_ >= bytes_.size(); }

    std::uint8_t Byte() { return AtEnd() ? 0 : bytes_[position_++]; }

    std::uint32_t Number(int size) {
        std::uint32_t value = 0;
        for (int k = 0; k < size; ++k) value = (value << 8) | Byte();
        return value;
    }

    std::span<const unsigned char> Run(std::size_t size) {
        const std::size_t count = std::min(size, bytes_.size() - std::min(position_, bytes_.size()));
        const auto run = bytes_.subspan(std::min(position_, bytes_.size()), count);
        position_ += count;
        return run;
    }

private:
    std::span<const unsigned char> bytes_;
    std::size_t position_ = 0;
};

void PutNumber(std::vector<unsigned char>& out, std::uint32_t value, int size) {
    for (int k = size - 1; k >= 0; --k) out.push_back(static_cast<unsigned char>(value >> (8 * k)));
}

}  // namespace

FolderImage DecodeFolderImage(std::span<const unsigned char> bytes) {
    Reader in(bytes);
    FolderImage image;
    image.model = static_cast<std::uint8_t>(in.Byte() % FilmRecorderModels.size());
    image.options = in.Byte();
    while (!in.AtEnd() && image.files.size() < kMaxImageFiles) {
        ImageFile file;
        file.flags = in.Byte();
        const auto name = in.Run(std::min<std::size_t>(in.Byte(), kMaxImageNameSize));
        file.name.assign(name.begin(), name.end());
        if (file.flags & SetTime) file.secondsAfter1990 = in.Number(4);
        const auto content = in.Run(in.Number(2));
        file.content.assign(content.begin(), content.end());
        image.files.push_back(std::move(file));
    }
    return image;
}

std::vector<unsigned char> EncodeFolderImage(const FolderImage& image) {
    std::vector<unsigned char> out;
    out.push_back(image.model);
    out.push_back(image.options);
    for (const ImageFile& file : image.files) {
        out.push_back(file.flags);
        const std::size_t nameSize = std::min(file.name.size(), kMaxImageNameSize);
        out.push_back(static_cast<unsigned char>(nameSize));
        out.insert(out.end(), file.name.begin(), file.name.begin() + static_cast<std::ptrdiff_t>(nameSize));
        if (file.flags & SetTime) PutNumber(out, file.secondsAfter1990, 4);
        const std::size_t contentSize = std::min<std::size_t>(file.content.size(), 0xFFFF);
        PutNumber(out, static_cast<std::uint32_t>(contentSize), 2);
        out.insert(out.end(), file.content.begin(),
                   file.content.begin() + static_cast<std::ptrdiff_t>(contentSize));
    }
    return out;
}

std::string ImageModelText(const FolderImage& image) {
    return FilmRecorderModels[image.model % FilmRecorderModels.size()].ModelText;
}

std::string FileNameFor(const FolderImage& image, const ImageFile& file) {
    std::string name;
    if (file.flags & RawName) {
        name = file.name;
    } else {
        char letter = ModelFilePrefix(ImageModelText(image))[0];
        if (file.flags & LowerCaseLetter) letter = static_cast<char>(letter - 'A' + 'a');
        name = letter + file.name + ".ztb";
    }
    std::replace(name.begin(), name.end(), '/', '_');
    std::replace(name.begin(), name.end(), '\0', '_');
    if (name.empty() || name == "." || name == "..") return {};
    return name;
}

platform::FileTime FileTimeFor(const ImageFile& file) {
    return (kSeconds1601To1990 + file.secondsAfter1990) * kUnitsPerSecond;
}
