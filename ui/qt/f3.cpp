#include "ui/qt/f3.h"

#include <QLabel>

#include "app/window_layouts.h"
#include "ui/qt/layout_builder.h"

namespace velmora {

F3::F3() {
    BuildWindow(this, F3Layout());
    Picture2 = Built<QLabel>(this, "Picture2");
    Picture1 = Built<QLabel>(this, "Picture1");
    Label1 = Built<QLabel>(this, "Label1");
    Image1 = Built<QLabel>(this, "Image1");
    Command1 = Built<QPushButton>(this, "Command1");
    connect(Command1, &QPushButton::clicked, this, &F3::Command1_Click);
}

}  // namespace velmora
