# The product's version, set once in project(): a header for the plug-in's and
# the tools' sources, and a Windows version resource for each shipped file.

configure_file(${CMAKE_CURRENT_LIST_DIR}/version.h.in ${PROJECT_BINARY_DIR}/version/version.h
               @ONLY)
# Linking it puts version.h on the include path.
add_library(product_version INTERFACE)
target_include_directories(product_version INTERFACE ${PROJECT_BINARY_DIR}/version)

# The LICENSE's copyright line, which each file's properties show too.
file(STRINGS ${PROJECT_SOURCE_DIR}/LICENSE VERSION_COPYRIGHT REGEX "^Copyright " LIMIT_COUNT 1)

set(VERSION_RESOURCE_TEMPLATE ${CMAKE_CURRENT_LIST_DIR}/version.rc.in)

# add_version_resource(TARGET FILE_NAME DESCRIPTION): compiles into TARGET the
# version resource that the Properties dialog of FILE_NAME shows.
function(add_version_resource target fileName description)
    get_target_property(type ${target} TYPE)
    if(type STREQUAL "EXECUTABLE")
        set(VERSION_FILE_TYPE VFT_APP)
    else()
        set(VERSION_FILE_TYPE VFT_DLL)
    endif()
    set(VERSION_FILE_NAME ${fileName})
    set(VERSION_DESCRIPTION ${description})
    set(resource ${CMAKE_CURRENT_BINARY_DIR}/${target}_version.rc)
    configure_file(${VERSION_RESOURCE_TEMPLATE} ${resource} @ONLY)
    target_sources(${target} PRIVATE ${resource})
endfunction()
