#include "diag/support_texts.h"

#include "base/encoded_text.h"

namespace cs {

std::string SupportMailAddress() {
    static constexpr EncodedText kText("mailto:support@quillmark-graphics.example");
    return kText.Decode();
}

std::string SoftwareRendererReportWarning() {
    return "\n\nWARNING:\n\nThe GL_RENDERER value above is GDI Generic which is usually caused by old video card "
           "drivers, please install the latest drivers."
           " The Cube Saver help page on the Quillmark Graphics web site explains how to find them.";
}

std::string SlowPerformanceMessage() {
    return "Windows is drawing OpenGL with its software renderer, which renders very slowly, so Cube Saver "
           "will run slowly too.\n\n"
           "Installing the latest drivers for your video card usually fixes this.\n\n"
           "The 'System Info' button on the About page shows which renderer is in use: a GL_RENDERER of "
           "\"GDI Generic\" is the slow software renderer.";
}

}  // namespace cs
