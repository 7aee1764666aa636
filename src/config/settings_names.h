#pragma once
// Where the settings live: the key below HKEY_CURRENT_USER and the names of
// the two list subkeys (the same as the titles of the dialog's list tabs).
// They are kept encoded and decoded when used.
#include <string>

#include "base/encoded_text.h"

namespace cs {

inline std::string SettingsKeyPath() {
    static constexpr EncodedText kText("Software\\Quillmark Graphics\\Cube Saver");
    return kText.Decode();
}

inline std::string PictureListKeyName() {
    static constexpr EncodedText kText("Pictures");
    return kText.Decode();
}

// The value of GeneralSettings::other_monitors, outside the numbered ones:
// it is read with the others but written only when the user presses OK.
inline std::string OtherMonitorsValueName() {
    static constexpr EncodedText kText("OtherMonitors");
    return kText.Decode();
}

inline std::string MusicListKeyName() {
    static constexpr EncodedText kText("Music");
    return kText.Decode();
}

}  // namespace cs
