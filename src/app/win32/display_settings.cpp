#include <windows.h>

#include "app/display_mode.h"
#include "app/win32/win32_display.h"

namespace cs {
namespace {

class Win32DisplaySettings final : public DisplaySettings {
public:
    void RestoreNormalMode() override { ChangeDisplaySettingsA(nullptr, 0); }

    bool FindMode(const DisplayModeRequest& request, DisplayModeRecord& record) override {
        devmode_ = DEVMODEA{};
        devmode_.dmSize = sizeof devmode_;
        DEVMODEA candidate{};
        candidate.dmSize = sizeof candidate;
        bool found = false;
        for (DWORD i = 0; EnumDisplaySettingsA(nullptr, i, &candidate); ++i) {
            devmode_ = candidate;
            if (static_cast<int>(candidate.dmPelsWidth) == request.width &&
                static_cast<int>(candidate.dmPelsHeight) == request.height &&
                static_cast<int>(candidate.dmBitsPerPel) == request.color_depth &&
                static_cast<int>(candidate.dmDisplayFrequency) == request.refresh_rate) {
                found = true;
                break;
            }
        }
        record.width = static_cast<int>(devmode_.dmPelsWidth);
        record.height = static_cast<int>(devmode_.dmPelsHeight);
        record.color_depth = static_cast<int>(devmode_.dmBitsPerPel);
        record.refresh_rate = static_cast<int>(devmode_.dmDisplayFrequency);
        record.fields = devmode_.dmFields;
        return found;
    }

    long ChangeTemporarily(const DisplayModeRecord& record) override {
        DEVMODEA mode = devmode_;
        mode.dmFields = record.fields;
        return ChangeDisplaySettingsA(&mode, CDS_FULLSCREEN);
    }

    void ShowError(const std::string& text) override {
        MessageBoxA(nullptr, text.c_str(), "Resolution Switching Error", MB_OK | MB_ICONERROR);
    }

private:
    DEVMODEA devmode_{};
};

}  // namespace

bool SwitchSystemDisplayMode(int width, int height, int color_depth, int refresh_rate) {
    Win32DisplaySettings display;
    return SwitchDisplayMode(display, {width, height, color_depth, refresh_rate});
}

}  // namespace cs
