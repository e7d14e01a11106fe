#include "save_question.h"

bool MayGoOnAfterSaveQuestion(ESaveAnswer answer, const std::function<bool()>& save)
{
    if (answer == SAVE_CANCEL)
        return false;
    return answer != SAVE_YES || save();
}
