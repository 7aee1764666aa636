#include "diag/win32/support_actions.h"

#include "diag/mail_link.h"
#include "diag/support_texts.h"
#include "diag/system_report.h"
#include "diag/win32/browser_launch.h"
#include "diag/win32/system_probes.h"

namespace cs {

std::string BuildSystemReportFor(HWND owner) {
    HWND probe = CreateWindowExA(0, "STATIC", "", WS_POPUP | WS_CLIPCHILDREN | WS_CLIPSIBLINGS, 0, 0, 16, 16, owner,
                                 nullptr, GetModuleHandleA(nullptr), nullptr);
    std::string report = BuildSystemReport(probe ? probe : owner);
    if (probe) DestroyWindow(probe);
    return report;
}

void ShowSystemInfo(HWND owner) {
    std::string text = BuildSystemReportFor(owner);
    if (ReportShowsSoftwareRenderer(text)) text += SoftwareRendererReportWarning();
    MessageBoxA(owner, text.c_str(), "System Info", MB_OK);
}

void EmailSupport(HWND owner, const std::string& version_text) {
    OpenDocument(SupportMailLink(version_text, BuildSystemReportFor(owner)));
}

void WarnIfSoftwareRenderer(HWND owner) {
    if (ReportShowsSoftwareRenderer(BuildSystemReportFor(owner)))
        MessageBoxA(owner, SlowPerformanceMessage().c_str(), kSlowPerformanceCaption, MB_OK | MB_ICONWARNING);
}

}  // namespace cs
