#include "tools/ztbtool/TableJson.h"

#include <string>

#include "catalogue/DateText.h"
#include "platform/AnsiText.h"

namespace {

template <typename Number, std::size_t N>
nlohmann::ordered_json Numbers(const Number (&values)[N]) {
    nlohmann::ordered_json list = nlohmann::ordered_json::array();
    for (Number value : values) list.push_back(value);
    return list;
}

}  // namespace

std::string TableText(std::string_view text) { return platform::Utf8FromAnsi(text); }

nlohmann::ordered_json LastWriteJson(platform::FileTime time) {
    const std::string text = time == 0 ? "" : IsoDateText(time);
    if (text.empty()) return nullptr;
    return text;
}

nlohmann::ordered_json HeaderToJson(const ZTBHeader& header) {
    nlohmann::ordered_json json;
    json["HeaderVersion"] = header.HeaderVersion;
    json["DeviceType"] = header.DeviceType;
    json["Title"] = TableText(TitleText(header));
    json["Type"] = header.Type;
    json["Size"] = header.Size;
    json["NumResolutions"] = header.NumResolutions;
    return json;
}

nlohmann::ordered_json RecordToJson(const ZTBResolutionT& record) {
    nlohmann::ordered_json json;
    json["Length"] = record.Length;
    json["ResVersion"] = record.ResVersion;
    json["DevXSize"] = record.DevXSize;
    json["DevYSize"] = record.DevYSize;
    json["XMin"] = record.XMin;
    json["YMin"] = record.YMin;
    json["XMax"] = record.XMax;
    json["YMax"] = record.YMax;
    json["FilmGamma"] = record.FilmGamma;
    json["StdGamma"] = record.StdGamma;
    json["DeviceType"] = record.DeviceType;
    json["Resolution"] = record.Resolution;
    json["MirrorY"] = record.MirrorY;
    json["Compatible"] = {
        {"BaseFilmType", record.Compatible.BaseFilmType},
        {"BlackAndWhite", record.Compatible.BlackAndWhite},
        {"Balance", Numbers(record.Compatible.Balance)},
    };
    json["Intensity"] = Numbers(record.Intensity);
    json["Repetition"] = Numbers(record.Repetition);
    json["BackType"] = record.BackType;
    return json;
}

nlohmann::ordered_json TableToJson(const CalibrationTable& table) {
    nlohmann::ordered_json json;
    json["header"] = HeaderToJson(table.Header);
    json["ResolutionPresent"] = Numbers(table.ResolutionPresent);
    nlohmann::ordered_json records = nlohmann::ordered_json::array();
    for (int index = 0; index < kResolutionSlots; ++index) {
        if (table.ResolutionPresent[index] != 0) {
            records.push_back(RecordToJson(table.Resolution[index]));
        } else {
            records.push_back(nullptr);
        }
    }
    json["Resolution"] = records;
    return json;
}
