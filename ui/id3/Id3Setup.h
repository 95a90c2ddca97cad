#pragma once

class MainPrg;
class frm_ChangeFilename;

// Adapts the parameter dialog to the ID3 check (only the MP3 directory is
// asked for), shows it modally and, once it is put away, gives the rename
// operations back their fields and labels.
void showReadID3Dialog(frm_ChangeFilename& dialog, MainPrg& mainPrg);
