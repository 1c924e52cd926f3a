#include <gtest/gtest.h>

#include "app/window_layouts.h"

namespace velmora {
namespace {

std::vector<std::string> Names(const std::vector<const ControlLayout*>& controls) {
    std::vector<std::string> names;
    for (const ControlLayout* control : controls)
        names.push_back(std::string(control->name) +
                        (control->index >= 0 ? std::to_string(control->index) : ""));
    return names;
}

std::vector<const ControlLayout*> All(const WindowLayout& window) {
    std::vector<const ControlLayout*> controls;
    for (const ControlLayout& control : window.controls)
        controls.push_back(&control);
    return controls;
}

std::vector<std::string> Where(const WindowLayout& window, bool (*test)(const ControlLayout&)) {
    std::vector<const ControlLayout*> chosen;
    for (const ControlLayout& control : window.controls)
        if (test(control))
            chosen.push_back(&control);
    return Names(chosen);
}

using Strings = std::vector<std::string>;

TEST(WindowLayoutsTest, ControlsTabOrderAndKeys) {
    struct Expected {
        const WindowLayout& window;
        std::pair<int, int> client;
        Strings controls;
        Strings tab_order;
        Strings defaults;
        Strings cancels;
        Strings hidden;
    };
    const Expected windows[] = {
        {Form1Layout(),
         {256, 197},
         {"Picture1", "P1", "Command1", "Label3", "Dir1", "File1"},
         {"Command1", "Dir1", "File1", "P1", "Label3", "Picture1"},
         {},
         {"Command1"},
         {"Dir1", "File1"}},
        {Form2Layout(),
         {255, 173},
         {"Image1", "Text10", "Text11", "Command1", "Command2", "Label3"},
         {"Text10", "Text11", "Command1", "Command2", "Label3"},
         {},
         {"Command2"},
         {}},
        {F3Layout(),
         {442, 325},
         {"Picture2", "Picture1", "Label1", "Image1", "Command1"},
         {"Picture1", "Picture2", "Label1", "Command1"},
         {"Command1"},
         {"Command1"},
         {}},
    };
    for (const Expected& e : windows) {
        SCOPED_TRACE(std::string(e.window.name));
        EXPECT_EQ(std::make_pair(e.window.client_width, e.window.client_height), e.client);
        EXPECT_EQ(Names(All(e.window)), e.controls);
        EXPECT_EQ(Names(TabOrder(e.window)), e.tab_order);
        EXPECT_EQ(Where(e.window, [](const ControlLayout& c) { return c.is_default; }), e.defaults);
        EXPECT_EQ(Where(e.window, [](const ControlLayout& c) { return c.is_cancel; }), e.cancels);
        EXPECT_EQ(Where(e.window, [](const ControlLayout& c) { return !c.visible; }), e.hidden);
    }
}

TEST(WindowLayoutsTest, ASampleOfTheDesign) {
    EXPECT_EQ(Form1Layout().caption, "");
    EXPECT_EQ(Form2Layout().tag, "1");
    const ControlLayout& progress = FindControl(Form1Layout(), "P1");
    EXPECT_EQ((std::array{progress.left, progress.top, progress.width, progress.height}),
              (std::array{8, 104, 241, 17}));
    EXPECT_EQ(progress.tag, "0");
    const ControlLayout& lower = FindControl(Form2Layout(), "Text1", 1);
    EXPECT_EQ((std::array{lower.left, lower.top, lower.width, lower.height}),
              (std::array{64, 56, 177, 33}));
    EXPECT_EQ(FindControl(Form2Layout(), "Text1", 0).max_length, 15);
    EXPECT_EQ(lower.max_length, 0);
    const ControlLayout& aceptar = FindControl(F3Layout(), "Command1");
    EXPECT_EQ(aceptar.font.name, "Comic Sans MS");
    EXPECT_EQ(aceptar.font.points, 15.75);
    EXPECT_TRUE(aceptar.font.bold);
    EXPECT_EQ(FindControl(Form2Layout(), "Label3").tooltip, "More M\xE1s Programas...");
    EXPECT_THROW(FindControl(Form2Layout(), "Text1"), std::out_of_range);
}

}  // namespace
}  // namespace velmora
