// pugl's C API for our C++ window code: this copy of its headers lacks extern "C". Includes GL through glad.
#pragma once

#include <glad/gl.h>

extern "C" {
#include <pugl/gl.h>
#include <pugl/pugl.h>
}
