#include "app/numericsettings.h"
