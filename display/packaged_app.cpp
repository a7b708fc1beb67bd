#include "display/packaged_app.h"

namespace {

const char kFrameClass[] = "ApplicationFrameWindow";
const char kAppWindowClass[] = "Windows.UI.Core.CoreWindow";

}  // namespace

bool is_packaged_app_frame(const std::string& class_name) { return class_name == kFrameClass; }

uint32_t program_process_of_window(const std::string& class_name, uint32_t window_process,
                                   const std::vector<ChildWindowFacts>& children)
{
    if (!is_packaged_app_frame(class_name))
        return window_process;
    for (const ChildWindowFacts& child : children)
        if (child.class_name == kAppWindowClass && child.process_id != 0 && child.process_id != window_process)
            return child.process_id;
    return window_process;
}
