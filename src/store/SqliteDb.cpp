#include "store/SqliteDb.h"
