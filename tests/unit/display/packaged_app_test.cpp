#include <gtest/gtest.h>

#include "display/packaged_app.h"

TEST(ProgramProcessOfWindow, PackagedAppFramesStandForTheirApp)
{
    const uint32_t frame_host = 40;
    const std::string frame = "ApplicationFrameWindow";
    const std::string app = "Windows.UI.Core.CoreWindow";
    struct Row {
        const char* what;
        std::string class_name;
        std::vector<ChildWindowFacts> children;
        uint32_t expected;
    };
    const Row rows[] = {
        {"the app's window names its process", frame, {{"ApplicationFrameTitleBarWindow", 40}, {app, 77}}, 77},
        {"a suspended app leaves the frame host", frame, {{"ApplicationFrameTitleBarWindow", 40}}, frame_host},
        {"no children at all", frame, {}, frame_host},
        {"an app window of the frame host itself is passed over", frame, {{app, 40}, {app, 91}}, 91},
        {"only an app window of the frame host", frame, {{app, 40}}, frame_host},
        {"a child whose process is unknown", frame, {{app, 0}}, frame_host},
        {"the first app window wins", frame, {{app, 91}, {app, 92}}, 91},
        {"class names are matched whole", frame, {{"Windows.UI.Core.CoreWindow2", 77}, {"windows.ui.core.corewindow", 78}},
         frame_host},
        {"any other window keeps its own process", "Notepad", {{app, 77}}, frame_host},
        {"a frame class in other letter case is not a frame", "applicationframewindow", {{app, 77}}, frame_host},
    };
    for (const auto& row : rows)
        EXPECT_EQ(program_process_of_window(row.class_name, frame_host, row.children), row.expected) << row.what;
}
