# The disc-set maker, a bundle of its own beside the installer's that shares
# its resources, and the sample disc set it makes from a generated master.

set(DUV_DISC_SET_APP "${CMAKE_BINARY_DIR}/Make Disc Set.app")
add_executable(make_disc_set ${CMAKE_SOURCE_DIR}/tools/make_disc_set.cpp ${CMAKE_SOURCE_DIR}/tools/make_disc_set_screen.cpp)
target_include_directories(make_disc_set PRIVATE ${CMAKE_SOURCE_DIR}/tools)
target_link_libraries(make_disc_set PRIVATE duv_installer)
set_target_properties(make_disc_set PROPERTIES RUNTIME_OUTPUT_DIRECTORY "${DUV_DISC_SET_APP}/Contents/MacOS")
add_custom_command(OUTPUT "${DUV_DISC_SET_APP}/Contents/Resources"
  COMMAND ${CMAKE_COMMAND} -E make_directory "${DUV_DISC_SET_APP}/Contents"
  COMMAND ${CMAKE_COMMAND} -E create_symlink "../../Duvizo Installer.app/Contents/Resources"
          "${DUV_DISC_SET_APP}/Contents/Resources"
  COMMENT "Linking the installer's resources into the disc-set maker")
add_custom_target(duv_disc_set_resources DEPENDS "${DUV_DISC_SET_APP}/Contents/Resources")
add_dependencies(make_disc_set duv_disc_set_resources duvizo_installer)

# A 32 KB disc gives the sample two discs, the second starting inside
# "All/Resources".
set(DUV_SAMPLE_DISC_KB 32)
set(DUV_SAMPLE_DISCS "${CMAKE_BINARY_DIR}/sample_discs")
file(GLOB_RECURSE duv_sample_resources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/resources/*)
add_custom_command(OUTPUT "${DUV_SAMPLE_DISCS}/installed.md5"
  COMMAND bash ${CMAKE_SOURCE_DIR}/tools/make_disc_set_samples.sh "$<TARGET_FILE:make_disc_set>" "${DUV_BUNDLE}"
          ${DUV_SAMPLE_DISC_KB} "${DUV_SANITIZE}" "${DUV_SAMPLE_DISCS}"
  DEPENDS make_disc_set duvizo_installer ${CMAKE_SOURCE_DIR}/tools/make_disc_set_samples.sh
          ${CMAKE_SOURCE_DIR}/tools/make_sample_master.sh ${CMAKE_SOURCE_DIR}/tools/run_disc_set_maker.sh
          ${duv_sample_resources}
  COMMENT "Making the sample disc set"
  VERBATIM)
add_custom_target(sample_discs ALL DEPENDS "${DUV_SAMPLE_DISCS}/installed.md5")
add_dependencies(sample_discs duv_bundle_resources duv_bundle_fonts duv_generated_resources)
