-- Neovim's built-in LSP client with the shipped settings (lintrel.lua of
-- data/editors) against lintrel-lsp, run headless by CTest (run.cmake puts
-- lintrel-lsp on the PATH). Opens a copy of project.lpj (code page 1250,
-- CR LF), waits for its two warnings at their places, jumps to a label's
-- definition, reads the inlay hints (as the settings show them and as the
-- server answers), renames a label, writes the file and compares it with
-- renamed.lpj. Exits 0 when all of it holds, else 1 with what failed on
-- standard error.
--
-- Environment: LINTREL_EDITORS (data/editors), LINTREL_TEST_DIR (this
-- folder), LINTREL_WORK (a scratch folder).

local editors = assert(os.getenv('LINTREL_EDITORS'), 'LINTREL_EDITORS not set')
local here = assert(os.getenv('LINTREL_TEST_DIR'), 'LINTREL_TEST_DIR not set')
local work = assert(os.getenv('LINTREL_WORK'), 'LINTREL_WORK not set')
local timeout = 20000

local failures = {}
local function check(condition, what)
  if not condition then table.insert(failures, what) end
  return condition
end

local function read(path)
  local file = assert(io.open(path, 'rb'))
  local bytes = file:read('*a')
  file:close()
  return bytes
end

local function write(path, bytes)
  local file = assert(io.open(path, 'wb'))
  file:write(bytes)
  file:close()
end

local function cursor()
  local position = vim.api.nvim_win_get_cursor(0)
  return position[1] - 1, position[2] -- 0-based line, byte column
end

local function run()
  local project = work .. '/project.lpj'
  write(project, read(here .. '/project.lpj'))
  dofile(editors .. '/lintrel.lua')
  vim.cmd('edit ' .. vim.fn.fnameescape(project))
  local buffer = vim.api.nvim_get_current_buf()
  check(vim.bo.fileformat == 'dos', 'the file is not read as CR LF')
  check(vim.bo.fileencoding == 'cp1250', 'the file is read as ' .. vim.bo.fileencoding)
  check(vim.bo.filetype == 'lintrel', 'the file type is ' .. vim.bo.filetype)

  assert(vim.wait(timeout, function() return next(vim.lsp.buf_get_clients(buffer)) ~= nil end, 20),
    'the settings started no server')
  local _, client = next(vim.lsp.buf_get_clients(buffer))

  -- Two warnings: the undefined label after four accented letters (two
  -- bytes each in the buffer's UTF-8, one in code page 1250 and in UTF-16),
  -- and the second definition.
  local arrived = vim.wait(timeout, function() return #vim.diagnostic.get(buffer) == 2 end, 20)
  local diagnostics = vim.diagnostic.get(buffer)
  table.sort(diagnostics, function(a, b) return a.lnum < b.lnum end)
  if check(arrived, 'expected 2 diagnostics, got ' .. #diagnostics) then
    local undefined, twice = diagnostics[1], diagnostics[2]
    check(undefined.lnum == 3 and undefined.col == 34 and undefined.end_col == 42,
      string.format('undefined label at %d:%d-%d', undefined.lnum, undefined.col, undefined.end_col))
    check(undefined.message == 'Label "\\nowhere" is not defined.', 'message: ' .. undefined.message)
    check(undefined.severity == vim.diagnostic.severity.WARN, 'undefined label is not a warning')
    check(undefined.source == 'lintrel', 'source: ' .. tostring(undefined.source))
    check(twice.lnum == 4 and twice.col == 0, string.format('second definition at %d:%d', twice.lnum, twice.col))
    check(twice.message == 'Label "\\START" is already defined on line 4.', 'message: ' .. twice.message)
  end

  -- Go to definition from the reference in "GOTO \start".
  vim.api.nvim_win_set_cursor(0, { 6, 22 })
  vim.lsp.buf.definition()
  local jumped = vim.wait(timeout, function() return select(1, cursor()) == 3 end, 20)
  local line, column = cursor()
  check(jumped and column == 0, string.format('definition: cursor at %d:%d, wanted 3:0', line, column))

  -- The inlay hints: the BASIC line numbers from "&C=10" on, as the
  -- settings show them on this Neovim and as the server sends them.
  local namespace = vim.api.nvim_create_namespace('lintrel_hints')
  local marks = {}
  vim.wait(timeout, function()
    marks = vim.api.nvim_buf_get_extmarks(buffer, namespace, 0, -1, { details = true })
    return #marks == 5
  end, 20)
  local drawn = {}
  for _, mark in ipairs(marks) do
    table.insert(drawn, mark[2] .. '=' .. vim.trim(mark[4].virt_text[1][1]))
  end
  check(table.concat(drawn, ' ') == '3=10 4=11 5=12 6=13 7=14', 'hints shown: ' .. table.concat(drawn, ' '))
  local answer = client.request_sync('textDocument/inlayHint', {
    textDocument = { uri = vim.uri_from_bufnr(buffer) },
    range = { start = { line = 0, character = 0 }, ['end'] = { line = 8, character = 0 } },
  }, timeout, buffer)
  local hints = answer and answer.result or {}
  local shown = {}
  for _, hint in ipairs(hints) do table.insert(shown, hint.position.line .. '=' .. hint.label) end
  check(table.concat(shown, ' ') == '3=10 4=11 5=12 6=13 7=14', 'inlay hints: ' .. table.concat(shown, ' '))

  -- Rename \sub from its reference; the string keeps its "\sub".
  vim.api.nvim_win_set_cursor(0, { 6, 9 })
  vim.lsp.buf.rename('helper')
  local renamed = vim.wait(timeout, function()
    return vim.api.nvim_buf_get_lines(buffer, 6, 7, false)[1]:sub(1, 7) == '\\helper'
  end, 20)
  check(renamed, 'rename: line 7 reads ' .. vim.api.nvim_buf_get_lines(buffer, 6, 7, false)[1])
  vim.cmd('write')
  check(read(project) == read(here .. '/renamed.lpj'), 'the written file differs from renamed.lpj')
end

local ok, problem = pcall(run)
if not ok then table.insert(failures, 'error: ' .. tostring(problem)) end
if #failures > 0 then
  io.stderr:write('FAILED\n' .. table.concat(failures, '\n') .. '\n')
  vim.cmd('cquit 1')
else
  io.stdout:write('passed\n')
  vim.cmd('qall!')
end
