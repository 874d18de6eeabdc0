// Localisation of a dialog: its title and its controls' texts from the
// active language file, and on English systems a small Arial font.
#pragma once
#include "text_language.h"
class CWnd;

// Called by every dialog from its initialisation with its template id.
void g_SetDialogStrings(CWnd* dialog, int templateId);

// The language of the texts it gives the dialogs: the language file's
// ([Setting] Language; Chinese as the system's Chinese). False when the
// file names none: the templates' own texts stay.
bool DialogTextLanguage(TextLanguage& language);
