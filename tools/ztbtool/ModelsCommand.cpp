// ztbtool models [--json]: the film recorder models in the order of the
// dialog's model box, each with the letter its tables' names begin with.
#include <cstdio>
#include <memory>

#include <nlohmann/json.hpp>

#include "catalogue/FilmRecorderModels.h"
#include "tools/ztbtool/Commands.h"

namespace {

void PrintModels(bool json) {
    nlohmann::ordered_json models = nlohmann::ordered_json::array();
    for (const FilmRecorderModel& model : kFilmRecorderModels) {
        if (json) {
            models.push_back({{"Model", model.modelText}, {"Letter", model.filePrefix}});
        } else {
            std::printf("%s\t%s\n", model.modelText, model.filePrefix);
        }
    }
    if (json) std::printf("%s\n", nlohmann::ordered_json{{"models", models}}.dump().c_str());
}

}  // namespace

void AddModelsCommand(CLI::App& app, int& exitStatus) {
    auto json = std::make_shared<bool>(false);
    CLI::App* models = app.add_subcommand(
        "models", "Show the film recorder models, as the dialog's model box lists them, with their file letters.");
    models->add_flag("--json", *json, "One JSON object instead of the text rows.");
    models->callback([json, &exitStatus] {
        PrintModels(*json);
        exitStatus = kStatusDone;
    });
}
