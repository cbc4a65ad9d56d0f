# Runs lsp_client_test.lua in headless Neovim in a fresh scratch folder,
# which also takes Neovim's own logs and state, with lintrel-lsp (a link to
# lintrelc, as installed) first on the PATH. No display is needed.
#   cmake -DNVIM=... -DLINTRELC=... -DEDITORS=... -DTEST_DIR=... -DWORK=... -P run.cmake
if(NOT NVIM)
  message(FATAL_ERROR "nvim not found: scripts/install-deps.sh installs Debian's neovim")
endif()
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK}/bin)
file(CREATE_LINK ${LINTRELC} ${WORK}/bin/lintrel-lsp SYMBOLIC)
set(ENV{PATH} "${WORK}/bin:$ENV{PATH}")
set(ENV{LINTREL_EDITORS} ${EDITORS})
set(ENV{LINTREL_TEST_DIR} ${TEST_DIR})
set(ENV{LINTREL_WORK} ${WORK})
foreach(kind CONFIG CACHE DATA STATE)
  set(ENV{XDG_${kind}_HOME} ${WORK}/xdg)
endforeach()
execute_process(COMMAND ${NVIM} --headless --clean -n -u NONE -i NONE -c "luafile ${TEST_DIR}/lsp_client_test.lua"
                INPUT_FILE /dev/null RESULT_VARIABLE status TIMEOUT 120)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "the Neovim client test failed (${status})")
endif()
