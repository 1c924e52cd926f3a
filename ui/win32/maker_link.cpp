#include "ui/win32/maker_link.h"

#include "shell/win32/open_in_shell.h"

namespace velmora {

void OpenMakerLink() {
    OpenInShell("http://velmora.example.org");
}

}  // namespace velmora
