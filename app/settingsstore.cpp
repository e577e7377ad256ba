#include "app/settingsstore.h"
