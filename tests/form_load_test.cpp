#include <gtest/gtest.h>

#include <filesystem>

#include "tests/form_load_support.h"

namespace velmora {
namespace {

// The attribute value of what is named decides: a folder's (16, 48) or a
// plain file's (128, which encoding then refuses with one message) starts
// the encoding, its caption shown first; any other leaves the main window
// idle. The container is written in the working folder. (Terminal
// completion's trailing separators name the same folder.)
TEST_F(FormLoadTest, TheAttributeValueDecidesBetweenEncodingAndIdling) {
    struct Case {
        int attributes;
        bool encodes;
        bool folder = true;
    };
    Steps captions_at_first_pump;
    host.on_pump = [&](int pump) {
        if (pump == 1)
            captions_at_first_pump = host.captions;
    };
    working_folder = temp.native + "/work";
    for (const Case c : {Case{15, false}, Case{16, true}, Case{32, false}, Case{47, false},
                         Case{48, true}, Case{kNormal, true, false}}) {
        const std::string name = "F" + std::to_string(c.attributes);
        temp.Write(c.folder ? name + "/dato.txt" : name, "d");
        files.forced_attributes[temp.path + "\\" + name] = c.attributes;
        captions_at_first_pump.clear();
        const bool ended = Start(temp.native + "/" + name + (c.folder ? "//" : ""));
        const bool encoded = c.encodes && c.folder;
        EXPECT_EQ(ended, c.encodes) << c.attributes;
        EXPECT_EQ(temp.Exists("work/" + name + ".zol"), encoded) << c.attributes;
        EXPECT_EQ(host.messages.size(), c.folder ? 0u : 1u) << c.attributes;
        EXPECT_EQ(windows.steps, (c.encodes ? Steps{"dialog 1", "main window"} : Steps{}))
            << c.attributes;
        EXPECT_EQ(captions_at_first_pump, (encoded ? Steps{"Codificando..."} : Steps{}))
            << c.attributes;
        // Kept as it was, unless encoded and wiped.
        EXPECT_EQ(temp.Exists(name), !encoded) << c.attributes;
        EXPECT_EQ(temp.Read(c.folder ? name + "/dato.txt" : name), encoded ? "" : "d");
    }
}

TEST_F(FormLoadTest, DecodingAsksOnceWithItsOwnCaptionAndRestores) {
    temp.Write("Fotos/uno.jpg", "jpg");
    ASSERT_TRUE(Start(temp.native + "/Fotos"));  // encoded with "clave"
    EXPECT_TRUE(Start(temp.native + "/Fotos.zol/C"));
    EXPECT_EQ(windows.dialog_caption, kDecodingCaption);
    EXPECT_EQ(windows.steps, (Steps{"dialog 2", "main window", "clear box"}));
    EXPECT_EQ(temp.Read("Fotos/UNO.JPG"), "jpg");
    EXPECT_FALSE(temp.Exists("Fotos.zol"));
    EXPECT_TRUE(state.key.empty());
}

// What cannot be worked on ends with one message before the dialog; with
// nothing usable named the program registers and shows the instructions.
// Either way nothing is touched.
TEST_F(FormLoadTest, WhatCannotBeWorkedOnEndsBeforeTheDialog) {
    temp.MakeFolder(".oculta");
    temp.Write("corto.zol", "demasiado corto");
    temp.Write("datos.bin/C", "x");
    temp.Write("caf\xC3\xA9 \xC5\x82/a", "a");  // "ł" has no Windows-1252 code
    temp.Write("con\\barra/a", "a");
    temp.Write("nota.txt", "nota");
    temp.Write("\"nota.txt\"", "quotes are a name's own on Linux");
    temp.MakeFolder("Destino");
    std::filesystem::create_directory_symlink(temp.native + "/Destino", temp.native + "/enlace");
    temp.Write("mal\xFFnombre/a", "a");  // not UTF-8, for the sealed verb
    temp.Write("\xC5\x82.zol", "demasiado corto");
    const std::string t = temp.native;
    struct Case {
        std::string line;
        std::string message;
    };
    const Case cases[] = {
        {"", ""},
        {t + "/falta", ""},
        {t + "/.oculta", ""},
        {t + "/x/c", ""},
        {temp.native + "/falta.zol/C",
         "No se puede abrir el contenedor \xAB" + t + "/falta.zol\xBB: no existe."},
        {temp.native + "/corto.zol/C", "No se puede abrir el contenedor \xAB" + t +
                                           "/corto.zol\xBB: es m\xE1s corto que su "
                                           "cabecera."},
        {"/C", "No se puede abrir el contenedor \xAB/C\xBB: falta su nombre delante de /C."},
        {temp.native + "/datos.bin/C",
         "\xAB" + t + "/datos.bin\xBB no es un contenedor de Velmora (no termina en .zol)."},
        {temp.native + "/caf\xC3\xA9 \xC5\x82", "El nombre \xAB"},
        {temp.native + "/con\\barra", "El nombre \xAB"},
        // A legacy container's name is read in Windows-1252, as before the
        // sealed kind existed.
        {t + "/\xC5\x82.zol/C",
         "El nombre \xAB?.zol\xBB tiene caracteres que Velmora no puede guardar (fuera de "
         "Windows-1252)."},
        {"/", "No se puede codificar \xAB/\xBB: indique una carpeta"},
        // The sealed verb's line.
        {"/S ", "No se puede codificar \xAB/S\xBB: falta el nombre de la carpeta detr\xE1s de /S."},
        {"/S " + t + "/falta", "No se puede consultar \xAB" + t + "/falta\xBB: no existe."},
        {"/S " + t + "/nota.txt", "\xAB" + t + "/nota.txt\xBB no es una carpeta."},
        {"/S \"nota.txt\"", "\xAB" + t + "/\"nota.txt\"\xBB no es una carpeta."},
        {"/S " + t + "/enlace", "\xAB" + t + "/enlace\xBB no es una carpeta."},
        {"/S " + t + "/mal\xFFnombre", "El nombre \xAB"},
        {"/S /", "No se puede codificar \xAB/\xBB: indique una carpeta"},
        // Lines that only look like the sealed verb's keep the legacy outcome.
        {"/s " + t + "/Destino", ""},
        {"/S" + t + "/Destino", ""},
    };
    for (const Case& c : cases) {
        // With a message: no dialog, nothing registered.
        ExpectEndsTouchingNothing(c.line,
                                  c.message.empty() ? Steps{"register", "instructions"} : Steps{});
        if (c.message.empty()) {
            EXPECT_TRUE(host.messages.empty()) << c.line;
        } else {
            ASSERT_EQ(host.messages.size(), 1u) << c.line;
            EXPECT_EQ(host.messages[0].substr(0, c.message.size()), c.message) << c.line;
        }
    }
    EXPECT_EQ(tables.KeyIndexTable(1), 2);  // the tables are built first, whatever follows
}

TEST_F(FormLoadTest, CancellingTheEncodingDialogTouchesNothing) {
    temp.Write("Intacta/a", "a");
    windows.answer_dialog = [this] { host.EndProgram(); };
    ExpectEndsTouchingNothing(temp.native + "/Intacta", {"dialog 1"});
}

}  // namespace
}  // namespace velmora
