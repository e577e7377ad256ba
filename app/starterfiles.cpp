#include "app/starterfiles.h"
