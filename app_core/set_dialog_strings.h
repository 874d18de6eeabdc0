// Localisation of a dialog: its title and its controls' texts from the
// active language file, and on English systems a small Arial font.
#pragma once
class CWnd;

// Called by every dialog from its initialisation with its template id.
void g_SetDialogStrings(CWnd* dialog, int templateId);
