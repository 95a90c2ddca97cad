#pragma once

// What the start probe writes to the standard output of `tessavo` when the
// main window is first shown.
inline constexpr char shownReport[] = "frm_Main shown\n";
