// The answer to "save the change?" that every document screen asks, and what it lets go on.
#pragma once
#include <functional>

enum ESaveAnswer { SAVE_YES, SAVE_NO, SAVE_CANCEL };

// Whether what asked "save the change?" may go on: No goes on, Cancel stops, and Yes goes on
// only when save reports that the changes were written. A Save As dialog cancelled or a failed
// write keeps the changes, so the close, New or Open that asked must not drop them.
bool MayGoOnAfterSaveQuestion(ESaveAnswer answer, const std::function<bool()>& save);
