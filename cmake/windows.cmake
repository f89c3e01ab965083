# Building for Windows with MinGW-w64.
# The stack of Windows programs is aligned to 16 bytes only, yet GCC spills
# AVX registers with aligned moves: the assembler makes them unaligned.
add_compile_options(-Wa,-muse-unaligned-vector-move)
# M_PI and the other constants of math.h.
add_compile_definitions(_USE_MATH_DEFINES)
# Static libraries over import libraries: the programs need no DLL beside them.
set(CMAKE_FIND_LIBRARY_SUFFIXES .a)
# CommandLineToArgvW, for the UTF-16 command line.
link_libraries(shell32)
