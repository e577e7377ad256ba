#include "app/helptext.h"
