#include "widgets/save_flow.h"

#include "widgets/prompter.h"
#include "widgets/text.h"

namespace velacor::widgets {

std::optional<base::SaveOutcome> ChooseAndSave(
    Prompter& prompter, const SaveChoice& choice,
    const std::function<base::SaveOutcome(const std::string& path)>& save) {
    const QString path =
        prompter.ChooseSaveFile(FromUtf8(choice.chooserTitle), FromUtf8(choice.filter),
                                FromUtf8(choice.extension), choice.suggestedName);
    if (path.isEmpty())
        return std::nullopt;
    base::SaveOutcome outcome = save(path.toStdString());
    if (!outcome.message.empty())
        Inform(prompter, choice.messageTitle, outcome.message);
    return outcome;
}

}  // namespace velacor::widgets
