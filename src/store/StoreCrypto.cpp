#include "store/StoreCrypto.h"
