// What an editor's Load or Save tells the operator: a box title and its text.
#pragma once

#include <string>

namespace velacor::config {

struct EditorMessage {
    std::string title;
    std::string text;
    bool operator==(const EditorMessage&) const = default;
};

// What a Save of an editor that reads back tells: whether all of it succeeded (the records
// then hold what the sensor read back), and the box to show either way.
struct EditorSave {
    bool saved = false;
    EditorMessage message;
};

inline const EditorMessage SETTINGS_SAVED{"Save", "Settings saved"};
inline const EditorMessage SAVE_FAILED{"Save", "Failed to save settings"};

}  // namespace velacor::config
