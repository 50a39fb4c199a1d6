#include "store/StoreTable.h"
