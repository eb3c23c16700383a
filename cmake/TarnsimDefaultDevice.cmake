# tarnsim's default device is one file per section of objects in
# tarnsim/devices/default/, read in name order as one device file, so each
# object family keeps its objects in a file of its own.
function(tarnsim_default_device_text out)
    get_filename_component(root ${CMAKE_CURRENT_FUNCTION_LIST_DIR}/.. ABSOLUTE)
    file(GLOB parts ${root}/tarnsim/devices/default/*.tdev)
    list(SORT parts)
    set(text "")
    foreach(part ${parts})
        file(READ ${part} part_text)
        string(APPEND text "${part_text}")
        set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${part})
    endforeach()
    set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${root}/tarnsim/devices/default)
    set(${out} "${text}" PARENT_SCOPE)
endfunction()
