-- Lintrel projects (.lpj) in Neovim 0.7 and later: code page 1250 and CR LF,
-- and the language server lintrel-lsp for diagnostics, BASIC line numbers,
-- go to definition, references, rename and the label outline.
--
-- Copy this file to ~/.config/nvim/plugin/lintrel.lua (or `require` it from
-- init.lua). The settings below override Options.ini's; leave them out to
-- keep those. :LintrelBuild builds the project as the window's F12 does.
local settings = {
  -- spaceRemoval = true,
  -- unusedLabelWarnings = true,
}

local group = vim.api.nvim_create_augroup('lintrel', { clear = true })

-- Projects are code page 1250 text; read them so, whatever else is set.
vim.api.nvim_create_autocmd('BufReadPre', {
  group = group,
  pattern = '*.lpj',
  callback = function()
    vim.g.lintrel_fileencodings = vim.o.fileencodings
    vim.o.fileencodings = 'cp1250'
  end,
})
vim.api.nvim_create_autocmd('BufReadPost', {
  group = group,
  pattern = '*.lpj',
  callback = function()
    if vim.g.lintrel_fileencodings then vim.o.fileencodings = vim.g.lintrel_fileencodings end
    vim.bo.filetype = 'lintrel'
  end,
})
vim.api.nvim_create_autocmd('BufNewFile', {
  group = group,
  pattern = '*.lpj',
  callback = function()
    vim.bo.fileencoding = 'cp1250'
    vim.bo.fileformat = 'dos'
    vim.bo.filetype = 'lintrel'
  end,
})

-- Neovim before 0.10 shows no inlay hints of its own: the BASIC line numbers
-- are shown at the window's right edge instead, clear of the diagnostics at
-- the end of the line.
local hints = vim.api.nvim_create_namespace('lintrel_hints')
local function show_hints(client, buffer)
  local last = vim.api.nvim_buf_line_count(buffer)
  local params = {
    textDocument = { uri = vim.uri_from_bufnr(buffer) },
    range = { start = { line = 0, character = 0 }, ['end'] = { line = last, character = 0 } },
  }
  client.request('textDocument/inlayHint', params, function(err, result)
    if err or not vim.api.nvim_buf_is_valid(buffer) then return end
    vim.api.nvim_buf_clear_namespace(buffer, hints, 0, -1)
    for _, hint in ipairs(result or {}) do
      if hint.position.line < vim.api.nvim_buf_line_count(buffer) then
        vim.api.nvim_buf_set_extmark(buffer, hints, hint.position.line, 0, {
          virt_text = { { hint.label, 'LineNr' } },
          virt_text_pos = 'right_align',
        })
      end
    end
  end, buffer)
end

local function on_attach(client, buffer)
  if vim.lsp.inlay_hint and vim.lsp.inlay_hint.enable then
    pcall(vim.lsp.inlay_hint.enable, true, { bufnr = buffer })
  else
    show_hints(client, buffer)
    vim.api.nvim_create_autocmd({ 'TextChanged', 'InsertLeave' }, {
      group = group,
      buffer = buffer,
      callback = function() vim.defer_fn(function() show_hints(client, buffer) end, 100) end,
    })
  end
  vim.api.nvim_buf_create_user_command(buffer, 'LintrelBuild', function()
    client.request('workspace/executeCommand',
      { command = 'lintrel.build', arguments = { vim.uri_from_bufnr(buffer) } },
      function(err)
        if err then vim.notify('lintrel: ' .. err.message, vim.log.levels.ERROR) end
      end, buffer)
  end, { desc = 'Build the project and write its output file' })
end

local config = {
  name = 'lintrel',
  cmd = { 'lintrel-lsp' },
  init_options = settings,
  settings = { lintrel = settings },
  on_attach = on_attach,
}

vim.api.nvim_create_autocmd('FileType', {
  group = group,
  pattern = 'lintrel',
  callback = function(event)
    config.root_dir = vim.fn.fnamemodify(vim.api.nvim_buf_get_name(event.buf), ':p:h')
    if vim.lsp.start then
      vim.lsp.start(config, { bufnr = event.buf })
    else
      local id = vim.lsp.start_client(config)
      if id then vim.lsp.buf_attach_client(event.buf, id) end
    end
  end,
})
