#!/bin/bash
# The installer in a fresh prefix, silently: CubeSaver.scr in the system
# folder, the user's screen saver set, the uninstaller registered with the
# project's version; the installed program runs. A second installation keeps
# the settings; the silent uninstaller removes the program, its entry and the
# screen saver value and keeps the settings. An uninstaller run after the
# program was deleted by hand leaves another screen saver setting alone.
. "$(dirname "$0")/lib.sh"
. "$ROOT/scripts/saver-prefix.sh"
SETUP="$BUILD_DIR/CubeSaverSetup.exe"
[ -f "$SETUP" ] || fail "missing $SETUP"
version=$(sed -n 's/^project(CubeSaver VERSION \([0-9.]*\).*/\1/p' "$ROOT/CMakeLists.txt")

export WINEPREFIX="$BUILD_DIR/installer-prefix"
drop_installer_prefix() {
    wine_stop_server
    rm -rf "$WINEPREFIX" "$WINEPREFIX.lock"
    export WINEPREFIX="$BUILD_DIR/wineprefix"
}
E2E_AT_EXIT+=(drop_installer_prefix)
rm -rf "$WINEPREFIX"
wine_prepare_prefix
wine_start_services
wine_warm_up "$BUILD_DIR/tests/e2e/wine_warmup.exe"

SYSTEM="$WINEPREFIX/drive_c/windows/system32"
INSTALLED='C:\windows\system32\CubeSaver.scr'
UNINSTALL_KEY='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Cube Saver'
DESKTOP_KEY='HKCU\Control Panel\Desktop'
SETTINGS_KEY='HKCU\Software\Quillmark Graphics\Cube Saver'
UNINSTALLER_DIR='C:\Program Files\Quillmark Graphics\Cube Saver'

# The data of one registry value, or nothing. reg is asked again when it
# gave no answer of its own (a Wine program now and then fails to start).
reg_value() {
    local attempt output
    for attempt in 1 2 3; do
        output=$(wine reg query "$1" /v "$2" 2>&1 </dev/null | tr -d '\r')
        grep -q -e '^HKEY_' -e 'Unable to find' <<<"$output" && break
    done
    sed -n "s/^ *$2 *REG_[A-Z_]* *//p" <<<"$output"
}
uninstall() {
    # The uninstaller copies itself away and returns at once unless it is
    # told where it is installed, with "_?=" last and unquoted: Wine quotes
    # an argument with spaces, so the path goes as words of its own.
    local words
    read -ra words <<<"_?=$UNINSTALLER_DIR"
    wine "$UNINSTALLER_DIR\\Uninstall.exe" /S "${words[@]}" >/dev/null 2>&1
}

wine "$SETUP" /S >/dev/null 2>&1 || fail "the installer failed (status $?)"
cmp -s "$SYSTEM/CubeSaver.scr" "$SCR" || fail "CubeSaver.scr is not in the system folder"
[ "$(reg_value "$DESKTOP_KEY" SCRNSAVE.EXE)" = "$INSTALLED" ] ||
    fail "SCRNSAVE.EXE is \"$(reg_value "$DESKTOP_KEY" SCRNSAVE.EXE)\""
[ "$(reg_value "$UNINSTALL_KEY" DisplayName)" = "Cube Saver" ] || fail "no uninstall entry"
[ "$(reg_value "$UNINSTALL_KEY" Publisher)" = "Quillmark Graphics" ] || fail "wrong publisher"
[ "$(reg_value "$UNINSTALL_KEY" DisplayVersion)" = "$version" ] ||
    fail "the entry's version is \"$(reg_value "$UNINSTALL_KEY" DisplayVersion)\", not $version"
[ "$(reg_value "$UNINSTALL_KEY" UninstallString)" = "\"$UNINSTALLER_DIR\\Uninstall.exe\"" ] ||
    fail "wrong uninstall command \"$(reg_value "$UNINSTALL_KEY" UninstallString)\""
[ -n "$(reg_value "$UNINSTALL_KEY" EstimatedSize)" ] || fail "no size in the uninstall entry"

wine "$INSTALLED" /w 640x480 >/dev/null 2>&1 &
SAVER_PID=$!
E2E_PIDS+=("$SAVER_PID")
window=$(wait_window "Cube Saver") || fail "the installed program showed no window"
press_key "$window" Escape
wait_exit "$SAVER_PID" 15 || fail "the installed program did not end on Escape"
[ -n "$(reg_value "$SETTINGS_KEY" 000_100)" ] || fail "the installed program stored no settings"
saver_reg_dword 000_107 7

wine "$SETUP" /S >/dev/null 2>&1 || fail "the second installation failed"
[ "$(reg_value "$SETTINGS_KEY" 000_107)" = 0x7 ] || fail "the second installation lost the settings"

uninstall
[ -e "$SYSTEM/CubeSaver.scr" ] && fail "the uninstaller left CubeSaver.scr"
wine reg query "$UNINSTALL_KEY" >/dev/null 2>&1 && fail "the uninstaller left its entry"
[ -z "$(reg_value "$DESKTOP_KEY" SCRNSAVE.EXE)" ] || fail "the uninstaller left SCRNSAVE.EXE"
[ "$(reg_value "$SETTINGS_KEY" 000_107)" = 0x7 ] || fail "the silent uninstaller did not keep the settings"

wine "$SETUP" /S >/dev/null 2>&1 || fail "the installation after the uninstall failed"
other=$(reg_string_line SCRNSAVE.EXE 'C:\windows\system32\other.scr')
reg_import_checked "[HKEY_CURRENT_USER\Control Panel\Desktop]"$'\n'"$other" 'HKEY_CURRENT_USER\Control Panel\Desktop' "$other"
rm -f "$SYSTEM/CubeSaver.scr"
uninstall || fail "the uninstaller failed when the program was already gone"
wine reg query "$UNINSTALL_KEY" >/dev/null 2>&1 && fail "the uninstaller left its entry the second time"
[ "$(reg_value "$DESKTOP_KEY" SCRNSAVE.EXE)" = 'C:\windows\system32\other.scr' ] ||
    fail "the uninstaller changed another screen saver setting"
echo "PASS"
