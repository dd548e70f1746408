#include "CDC.h"

CDC::~CDC() = default;
