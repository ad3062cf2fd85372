# One interface target carries the language level and the warnings of our own code.
add_library(telvora_flags INTERFACE)
target_compile_features(telvora_flags INTERFACE cxx_std_20)
target_compile_options(telvora_flags INTERFACE
    -Wall -Wextra -pedantic -Wold-style-cast -Wnon-virtual-dtor -Woverloaded-virtual -Werror)
set(CMAKE_CXX_EXTENSIONS OFF)
# GCC 12 at -O3 reports overlapping copies inside std::string's operator+ (its bug 105329);
# kept as a warning there so the Release build stays possible.
if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND CMAKE_CXX_COMPILER_VERSION VERSION_LESS 13)
    target_compile_options(telvora_flags INTERFACE -Wno-error=restrict)
endif()

if(ASAN)
    add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer)
    add_link_options(-fsanitize=address,undefined)
endif()

# Tests get the library's checked iterators.
add_library(telvora_test_flags INTERFACE)
target_link_libraries(telvora_test_flags INTERFACE telvora_flags)
target_compile_definitions(telvora_test_flags INTERFACE _GLIBCXX_ASSERTIONS)
