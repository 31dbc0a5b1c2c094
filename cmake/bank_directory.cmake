# The bank directory shipped beside the program (resources/etabid.kvb, made by
# tools/make_bank_directory.py) and the test that reads it.

if(TARGET core_tests)
  target_compile_definitions(core_tests PRIVATE
    KOLVANE_RESOURCES_DIR="${CMAKE_SOURCE_DIR}/resources")
endif()

if(TARGET Kolvane)
  # The program looks for etabid.kvb in its own folder.
  add_custom_command(TARGET Kolvane POST_BUILD
    COMMAND ${CMAKE_COMMAND} -E copy_if_different
            ${CMAKE_SOURCE_DIR}/resources/etabid.kvb $<TARGET_FILE_DIR:Kolvane>/etabid.kvb
    COMMENT "Copying the bank directory beside Kolvane.exe")
endif()
