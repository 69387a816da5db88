#pragma once
// How a thread-wide window hook learns when the framework makes a window's child windows.

// Called around the making of a window's child windows (the outermost call on a thread only): a
// hook with nothing to do for the framework's own child windows may step aside, as a hook costs
// Wine a few server calls for every window made.
struct TChildCreationSeam {
    void (*Begin)() = nullptr;
    void (*End)() = nullptr;
};
TChildCreationSeam& ChildCreationSeam();
