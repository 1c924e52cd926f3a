#include "shell/posix/desktop_files.h"

#include <fstream>
#include <sstream>

#include "base/cp1252.h"
#include "container/opened_container.h"
#include "shell/posix/desktop_integration.h"
#include "shell/posix/folder_verbs.h"
#include "shell/registration.h"

namespace velmora {
namespace {

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

std::string Utf8OrEmpty(const std::optional<std::string>& cp1252) {
    Result<std::string> utf8 = Cp1252ToUtf8(cp1252.value_or(""));
    return utf8 ? utf8.value() : std::string();
}

DesktopFile MimePackage(const std::string& title) {
    return {std::string("mime/packages/") + kMimePackageFile,
            "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
            "<mime-info xmlns=\"http://www.freedesktop.org/standards/shared-mime-info\">\n"
            "  <mime-type type=\"" +
                std::string(kMimeType) +
                "\">\n"
                "    <comment>" +
                kEnglishTypeTitle +
                "</comment>\n"
                "    <comment xml:lang=\"es\">" +
                XmlText(title) +
                "</comment>\n"
                // GTK looks a type's icon up theme by theme, so a theme's
                // generic icon would hide our padlock if it were another name.
                "    <icon name=\"" +
                kMimeIconName +
                "\"/>\n"
                "    <generic-icon name=\"" +
                kMimeIconName +
                "\"/>\n"
                "    <glob pattern=\"*" +
                kContainerExtension +
                "\"/>\n"
                "  </mime-type>\n"
                // The help file beside the program is plain text; by its
                // exact name it is not taken for an old Windows help file
                // (*.hlp), which no Linux desktop can open.
                "  <mime-type type=\"text/plain\">\n"
                "    <glob pattern=\"velmora.hlp\"/>\n"
                "  </mime-type>\n"
                "</mime-info>\n"};
}

}  // namespace

DesktopFiles FileTypeFiles(const RegistryStore& registry, const std::string& data_home) {
    DesktopFiles files;
    const std::optional<std::string> program_class = registry.DefaultValue(kContainerExtension);
    if (!program_class)
        return files;
    const std::string title = Utf8OrEmpty(registry.DefaultValue(*program_class));
    files.push_back(MimePackage(title));

    const std::string icon = Utf8OrEmpty(registry.DefaultValue(*program_class + "\\DefaultIcon"));
    if (std::optional<IconImage> image = LargestPngImage(ReadFile(icon))) {
        const std::string size = std::to_string(image->size);
        files.push_back(
            {"icons/hicolor/" + size + "x" + size + "/mimetypes/" + kMimeIconName + ".png",
             image->png});
    }

    const std::optional<std::string> program =
        QuotedProgram(registry.DefaultValue(*program_class + "\\shell\\open\\command"));
    if (!program)
        return files;
    const std::string open_wrapper = std::string("velmora/") + kOpenWrapper;
    files.push_back({open_wrapper,
                     "#!/bin/sh\n"
                     "# Opens a Velmora container: the program gets its path followed by /C.\n"
                     "exec " +
                         ShellQuote(*program) + " \"$1/C\"\n",
                     true});
    files.push_back({std::string("applications/") + kOpenDesktopFile,
                     "[Desktop Entry]\n"
                     "Type=Application\n"
                     "Name=Velmora\n"
                     "Comment=" +
                         std::string(kEnglishTypeTitle) +
                         "\n"
                         "Comment[es]=" +
                         title + "\n" +
                         "Exec=" + DesktopExecArgument(data_home + "/" + open_wrapper) +
                         " %f\n"
                         "Icon=" +
                         kMimeIconName +
                         "\n"
                         "MimeType=" +
                         kMimeType +
                         ";\n"
                         "NoDisplay=true\n"
                         "Terminal=false\n"});
    return files;
}

}  // namespace velmora
