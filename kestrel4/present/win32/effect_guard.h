// The last-chance handler of the effects: a failing program must not leave the desktop with
// its input hooked, its pointer held on one monitor or blank, or drawn over.
#pragma once

// On an unhandled exception: hooks removed, pointer freed and restored, desktop repainted;
// then the previous handler decides.
void InstallEffectGuard();
