#include "ui/f3.h"

#include <QLabel>

#include "ui/window_style.h"

namespace velmora {

F3::F3() {
    MakeDesignWindow(this, "F3", 442, 325, "Velmora 2.0", ":/question.ico");

    Picture2 = new QLabel(this);
    NameControl(Picture2, "Picture2", 1);
    Picture2->setGeometry(16, 8, 191, 168);
    // Drawn from its top-left corner and clipped to the box.
    Picture2->setPixmap(QPixmap(":/menu.gif").copy(0, 0, 191, 168));
    Picture2->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    Picture1 = new QLabel(this);
    NameControl(Picture1, "Picture1", 0);
    Picture1->setGeometry(224, 32, 201, 94);
    Picture1->setPixmap(QPixmap(":/logo.gif"));

    Label1 = new QLabel(this);
    NameControl(Label1, "Label1", 2);
    Label1->setGeometry(64, 192, 369, 65);
    Label1->setText(
        "Para Encriptar una carpeta, pulse el bot\u00f3n derecho del mouse, y "
        "seleccione \"Encriptar..\"");
    Label1->setWordWrap(true);
    Label1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Label1->setFont(DesignFont("Comic Sans MS", 12));
    SetTextColour(Label1, QColor(192, 64, 0));

    Image1 = new QLabel(this);
    NameControl(Image1, "Image1", -1);
    Image1->setGeometry(16, 208, 35, 35);
    Image1->setPixmap(QIcon(":/smile.ico").pixmap(48, 48));
    Image1->setScaledContents(true);

    Command1 = new QPushButton("ACEPTAR", this);
    NameControl(Command1, "Command1", 3);
    Command1->setGeometry(128, 264, 185, 49);
    Command1->setFont(DesignFont("Comic Sans MS", 15.75, true));
    Command1->setDefault(true);
    connect(Command1, &QPushButton::clicked, this, &F3::Command1_Click);

    ApplyTabOrder({Picture2, Picture1, Label1, Image1, Command1});
    CentreOnScreen(this);
}

}  // namespace velmora
