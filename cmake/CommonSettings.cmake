# One interface target carries the build settings every target of the project shares.
add_library(quendra_settings INTERFACE)
target_compile_features(quendra_settings INTERFACE cxx_std_20)
target_compile_options(quendra_settings INTERFACE -Wall -Wextra -Wpedantic)
if(QUENDRA_WERROR)
  target_compile_options(quendra_settings INTERFACE -Werror)
endif()
target_compile_definitions(quendra_settings INTERFACE
  QT_NO_CAST_FROM_ASCII
  QT_NO_CAST_TO_ASCII
  QT_USE_QSTRINGBUILDER
  QT_NO_CONTEXTLESS_CONNECT
  QT_NO_KEYWORDS)
if(QUENDRA_SANITIZE)
  target_compile_options(quendra_settings INTERFACE
    -fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer)
  target_link_options(quendra_settings INTERFACE -fsanitize=address,undefined)
endif()
target_include_directories(quendra_settings INTERFACE ${PROJECT_SOURCE_DIR})
