// A program's start-up before its message loop.
#pragma once

#include <functional>

// Runs the start-up steps (creating the forms). Whatever they throw, the framework's Exception or
// any other, goes to the application's default report (HandleException); false then: the program
// has nothing to run.
bool RunStartUp(const std::function<void()>& steps);
