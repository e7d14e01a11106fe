// The machine's keyboard as the key texts need it: its kind, the character-to-key lookup
// and the hook library's key-text converter.
#pragma once
#include "key_texts.h"

int SystemKeyboardKind();
int SystemKeyScan(char ch);
KeyTextConverter HookLibraryConverter();
