// Includes upward: a Qt header and the top of the program.
#include <QWidget>

#include "app/main_window.h"
