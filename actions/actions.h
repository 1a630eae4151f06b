// The handlers of the main window's events.
#pragma once
#include "ui/main_window.h"
