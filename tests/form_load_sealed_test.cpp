// Start-up's sealed forms: the sealed verb's "/S " line, and the
// double-click on a sealed container, through the real password dialog's
// behaviour.
#include <gtest/gtest.h>

#include <algorithm>

#include "app/salvage_offer.h"
#include "app/window_layouts.h"
#include "base/utf8.h"
#include "container/sealed/chunk_layout.h"
#include "tests/form_load_support.h"
#include "tests/sealed_support.h"
#include "tests/tree_snapshot.h"

namespace velmora {
namespace {

const std::string kWrong =
    "Contrase\xF1"
    "a incorrecta.";
const std::string kPassword = "Contraseña larga";

class SealedFormLoadTest : public FormLoadTest {
  protected:
    SealedFormLoadTest() {
        windows.answer_dialog = [this] { dialog.Run(ModeFromTag(windows.dialog_tag)); };
    }

    // Seals temp/<name> into temp/<name>.zol through the sealed verb.
    void SealThroughTheVerb(const std::string& name) {
        dialog.tries = {{kPassword, kPassword}};
        ASSERT_TRUE(Start("/S " + temp.native + "/" + name));
        ASSERT_TRUE(temp.Exists(name + ".zol")) << ::testing::PrintToString(host.messages);
    }

    TypingDialog dialog{state, tables, host};
};

// Any folder, whatever its name: one that has no Windows-1252 form, one
// named "C" (the line then ends in "/C" on Linux), a hidden one, one given
// with a trailing separator.
TEST_F(SealedFormLoadTest, TheSealedVerbSealsTheFolderItNames) {
    struct Case {
        std::string folder;
        std::string given;
    };
    const Case cases[] = {
        {"日本", "日本"}, {"Łódź", "Łódź"}, {"C", "C"}, {".oculta", ".oculta"}, {"Otra", "Otra/"}};
    working_folder = temp.native + "/work";
    for (const Case& c : cases) {
        temp.Write(c.folder + "/dato.txt", "dato");
        dialog.tries = {{kPassword, kPassword}};
        EXPECT_TRUE(Start("/S " + temp.native + "/" + c.given)) << c.given;
        EXPECT_EQ(windows.steps, (Steps{"dialog 3", "main window"})) << c.given;
        EXPECT_EQ(temp.Read("work/" + c.folder + ".zol").substr(0, kSealedMagic.size()),
                  std::string(kSealedMagic.begin(), kSealedMagic.end()))
            << c.given;
        EXPECT_FALSE(temp.Exists(c.folder)) << c.given;
        EXPECT_TRUE(dialog.messages.empty()) << c.given;
        EXPECT_TRUE(host.messages.empty()) << ::testing::PrintToString(host.messages);
        // The dialog (its boxes: tests/ui/form2_test.cpp) taller, naming the folder, where its
        // container goes (the working folder, not beside it) and the wipe; then the key's wait and
        // where the container is are told.
        const std::string name = ShownUtf8(c.folder);
        EXPECT_NE(dialog.rows.what.find("\xAB" + name + "\xBB se guardar\xE1 cifrada en \xAB" +
                                        ShownUtf8(temp.native) + "/work/" + name +
                                        ".zol\xBB y despu\xE9s se borrar\xE1"),
                  std::string::npos)
            << dialog.rows.what;
        EXPECT_GT(dialog.client_height, Form2Layout().client_height);
        ASSERT_EQ(host.moments.size(), 3u) << c.given;
        EXPECT_EQ(host.moments[0], std::make_pair(SealedMoment::kDerivingKey, std::string()));
        EXPECT_EQ(host.moments[1], std::make_pair(SealedMoment::kKeyReady, std::string()));
        EXPECT_EQ(host.moments[2].first, SealedMoment::kSealed);
        EXPECT_EQ(files.NativeForm(host.moments[2].second).value(),
                  temp.native + "/work/" + c.folder + ".zol");
    }
    EXPECT_TRUE(state.sealed_password.empty());
}

TEST_F(SealedFormLoadTest, ADoubleClickAsksUntilThePasswordOpensTheContainer) {
    temp.Write("日本/データ.txt", "contenido");
    temp.Write("日本/Sub/Grande.bin", std::string(300000, 'x'));
    temp.MakeFolder("日本/Sub/Vacía");
    const TreeSnapshot original = Snapshot(temp.native + "/日本");
    SealThroughTheVerb("日本");
    const std::string beside = "\xAB" + ShownUtf8("日本.zol") + "\xBB, a su lado, y despu\xE9s";
    EXPECT_NE(dialog.rows.what.find(beside), std::string::npos) << dialog.rows.what;

    // Wrong, then right in the wrong case (the password is case-sensitive),
    // then right.
    dialog.tries = {{"equivocada", ""}, {"contraseña larga", ""}, {kPassword, ""}};
    EXPECT_TRUE(Start(temp.native + "/日本.zol/C"));
    EXPECT_EQ(windows.dialog_caption, kDecodingCaption);
    EXPECT_EQ(windows.steps, (Steps{"dialog 4", "main window", "clear box"}));
    EXPECT_EQ(dialog.messages, (std::vector<std::string>{kWrong, kWrong}));
    EXPECT_TRUE(host.messages.empty()) << ::testing::PrintToString(host.messages);
    // The dialog names the container; each try's derivation is told by the
    // caption and the busy pointer.
    EXPECT_NE(dialog.rows.what.find("\xAB" + ShownUtf8("日本.zol") + "\xBB: la carpeta \xAB" +
                                    ShownUtf8("日本") + "\xBB se restaurar\xE1"),
              std::string::npos)
        << dialog.rows.what;
    const Steps one_try = {"Preparando la clave...", "busy", "not busy", kDecodingCaption};
    Steps three_tries;
    for (int i = 0; i < 3; ++i)
        three_tries.insert(three_tries.end(), one_try.begin(), one_try.end());
    EXPECT_EQ(dialog.captions, three_tries);
    ASSERT_EQ(host.moments.size(), 1u);
    EXPECT_EQ(host.moments[0].first, SealedMoment::kRestored);
    EXPECT_EQ(files.NativeForm(host.moments[0].second).value(), temp.native + "/日本/");

    EXPECT_EQ(Snapshot(temp.native + "/日本"), original);
    EXPECT_FALSE(temp.Exists("日本.zol"));
    EXPECT_NE(std::find(host.captions.begin(), host.captions.end(), "Decodificando..."),
              host.captions.end());
    ASSERT_EQ(host.opened.size(), 1u);
    EXPECT_EQ(files.NativeForm(host.opened[0]).value(), temp.native + "/日本/");
    EXPECT_FALSE(state.sealed_keys);
}

// Damage in the header is found before the password is asked; damage in
// the content after it, before anything appears. Either way one message,
// and the folder holds what it held.
TEST_F(SealedFormLoadTest, ADamagedContainerEndsWithOneMessageAndCreatesNothing) {
    temp.Write("Carpeta/a.txt", std::string(100000, 'a'));
    SealThroughTheVerb("Carpeta");
    const std::string good = temp.Read("Carpeta.zol");
    struct Case {
        std::string label;
        std::string bytes;
        Steps steps;
        std::string message;  // a prefix
    };
    // Both headers in the salt; every slot of the only group, the index's
    // copy too, beyond what its parity rebuilds.
    std::string header = good;
    header[30] = static_cast<char>(header[30] ^ 1);
    header[good.size() - kSealedHeaderBytes2 + 30] ^= 1;
    const ChunkLayout layout(HeaderOf({good.begin(), good.end()}));
    ASSERT_EQ(layout.groups, 1u);
    std::string content = good;
    for (std::uint64_t at = layout.header_size; at < layout.HeaderCopyAt(); at += layout.slot_size)
        content[at + 5] ^= 1;
    const std::string damaged =
        "El contenedor sellado est\xE1 da\xF1"
        "ado: ";
    const Case cases[] = {
        {"header", header, {}, damaged + "su cabecera no coincide"},
        {"short", good.substr(0, 60), {}, damaged + "es m\xE1s corto que su cabecera."},
        {"content", content, {"dialog 4", "main window", "clear box"}, damaged + "el bloque"},
    };
    for (const Case& c : cases) {
        temp.Write("Carpeta.zol", c.bytes);
        dialog.messages.clear();
        dialog.tries = {{kPassword, ""}};
        ExpectEndsTouchingNothing(temp.native + "/Carpeta.zol/C", c.steps);
        ASSERT_EQ(host.messages.size(), 1u) << c.label;
        EXPECT_EQ(host.messages[0].substr(0, c.message.size()), c.message) << c.label;
        EXPECT_TRUE(dialog.messages.empty()) << c.label;
        EXPECT_TRUE(windows.questions.empty()) << c.label;  // nothing left to salvage
    }
}

// Damage beyond the parity of the one group b.bin alone lies in, the index
// sound: after the damage message the salvage is offered. "Sí" restores
// every other file into "Carpeta (rescatado)" with the keys already
// derived and names the lost one; "No" makes nothing. The container stays
// byte for byte.
TEST_F(SealedFormLoadTest, DamageBeyondTheParityOffersTheSalvage) {
    sealed_parameters = {1, 8192, 4096, 4, 2};
    temp.Write("Carpeta/a.txt", "uno");
    temp.Write("Carpeta/b.bin", std::string(40000, 'b'));
    temp.Write("Carpeta/Sub/c.txt", "tres");
    TreeSnapshot intact = Snapshot(temp.native + "/Carpeta");
    intact.erase("b.bin");
    SealThroughTheVerb("Carpeta");
    std::string bytes = temp.Read("Carpeta.zol");
    const ChunkLayout layout(HeaderOf({bytes.begin(), bytes.end()}));
    ASSERT_GE(layout.groups, 3u);
    for (std::uint64_t chunk = 4; chunk < 7; ++chunk)
        bytes[layout.ChunkAt(chunk) + 5] ^= 1;
    temp.Write("Carpeta.zol", bytes);
    for (const bool yes : {false, true}) {
        const TreeSnapshot before = Snapshot(temp.native);
        windows.answer_yes = yes;
        dialog.tries = {{kPassword, ""}};
        EXPECT_TRUE(Start(temp.native + "/Carpeta.zol/C"));
        // One password, typed once: the salvage takes the keys it gave.
        EXPECT_EQ(windows.steps, (Steps{"dialog 4", "main window", "clear box"}));
        ASSERT_EQ(windows.questions.size(), 1u) << yes;
        EXPECT_NE(windows.questions[0].find("/Carpeta (rescatado)\xBB"), std::string::npos);
        EXPECT_EQ(temp.Read("Carpeta.zol"), bytes) << yes;
        ASSERT_EQ(host.messages.size(), yes ? 2u : 1u) << ::testing::PrintToString(host.messages);
        if (!yes) {
            EXPECT_EQ(Snapshot(temp.native), before);
            EXPECT_TRUE(host.opened.empty());
            continue;
        }
        EXPECT_EQ(Snapshot(temp.native + "/Carpeta (rescatado)"), intact);
        EXPECT_EQ(host.messages[1],
                  SalvageOutcomeText(2, files.DisplayPath(temp.native + "/Carpeta (rescatado)"),
                                     {"b.bin"}));
        ASSERT_EQ(host.opened.size(), 1u);
        EXPECT_EQ(files.NativeForm(host.opened[0]).value(), temp.native + "/Carpeta (rescatado)/");
    }
    // A long list of lost files names the first ones and counts the rest.
    const std::vector<std::string> lost(kLostFilesShown + 2, "x\xC5\x82");
    const std::string text = SalvageOutcomeText(0, "R", lost);
    EXPECT_EQ(std::count(text.begin(), text.end(), '\x81'), long(kLostFilesShown));
    EXPECT_TRUE(text.ends_with("\ny 2 m\xE1s.")) << text;
}

// "Cancelar" while the key is being derived: the derivation lets the
// windows' events run, and the program ends with nothing touched.
TEST_F(SealedFormLoadTest, CancelarDuringTheKeyDerivationEndsWithNothingTouched) {
    sealed_parameters = {3, 64 << 20, 4096};  // long enough to pump
    temp.Write("Lenta/a.txt", "a");
    SealThroughTheVerb("Lenta");
    dialog.tries = {{kPassword, ""}};
    dialog.pumps = 0;
    dialog.on_pump = [this] { host.EndProgram(); };
    ExpectEndsTouchingNothing(temp.native + "/Lenta.zol/C", {"dialog 4"});
    EXPECT_EQ(dialog.pumps, 1);
    EXPECT_TRUE(host.messages.empty() && dialog.messages.empty());
    EXPECT_FALSE(state.sealed_keys);
}

}  // namespace
}  // namespace velmora
