# Renders packaging/linux/corvane.svg into the multi-size corvane.ico that
# corvane.rc embeds. The .ico is committed, so that building on Windows needs
# neither tool; run this again after changing the SVG:
#   cmake -P packaging/windows/make-icon.cmake
# Needs rsvg-convert (librsvg2-bin) and icotool (icoutils).
cmake_minimum_required(VERSION 3.25)
set(svg ${CMAKE_CURRENT_LIST_DIR}/../linux/corvane.svg)
set(tmp ${CMAKE_CURRENT_LIST_DIR}/icon.tmp)
file(MAKE_DIRECTORY ${tmp})
set(images)
foreach(size 16 24 32 48 256)
    execute_process(COMMAND rsvg-convert -w ${size} -h ${size} -o ${tmp}/${size}.png ${svg} COMMAND_ERROR_IS_FATAL ANY)
    list(APPEND images ${tmp}/${size}.png)
endforeach()
# The 256 px image stays PNG-compressed inside the .ico, as Windows expects
# for that size; uncompressed it alone would be 256 KiB.
list(POP_BACK images large)
execute_process(COMMAND icotool -c -o ${CMAKE_CURRENT_LIST_DIR}/corvane.ico ${images} -r ${large}
                COMMAND_ERROR_IS_FATAL ANY)
file(REMOVE_RECURSE ${tmp})
