#include "actions/actions.h"
