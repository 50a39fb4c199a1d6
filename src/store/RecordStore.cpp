#include "store/RecordStore.h"
