// The save of every window: choose a file, save it through the one save, say how it went.
#pragma once

#include <QString>

#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "base/save_file.h"

namespace velacor::widgets {

class Prompter;

struct SaveChoice {
    std::string_view chooserTitle;
    std::string_view filter;     // as Qt writes it: "CSV Files (*.csv)"
    std::string_view extension;  // added when the name typed has none
    QString suggestedName;
    std::string_view messageTitle;  // of the box that tells the outcome
};

// Asks for the file; nullopt when the operator cancels. Otherwise runs `save` with the path
// and shows the outcome's message, if it has one, titled `messageTitle`.
std::optional<base::SaveOutcome> ChooseAndSave(
    Prompter& prompter, const SaveChoice& choice,
    const std::function<base::SaveOutcome(const std::string& path)>& save);

}  // namespace velacor::widgets
