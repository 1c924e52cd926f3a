#pragma once

namespace velmora {

// The maker's address shown by the link labels of the main window and the
// password dialog.
inline constexpr const wchar_t* kMakerLink = L"velmora.example.org";

// Opens the maker's address in the browser; the result is not used.
void OpenMakerLink();

}  // namespace velmora
