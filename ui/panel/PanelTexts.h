// The texts the panel shows come from the text tables of ui/text, in six languages.
#pragma once

#include "Texts.h"
