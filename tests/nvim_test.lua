-- devcap-lsp with a real editor as its client: Neovim (headless), its own LSP
-- client. A text with a misspelt unit type gets its diagnostic on the right
-- line, completion offers the keywords, and the did-you-mean code action
-- mends the buffer.
-- usage: DEVCAP_LSP=path/to/devcap-lsp nvim --headless --clean -c "luafile nvim_test.lua"
local failures = 0
local function check(what, got, want)
  if vim.inspect(got) ~= vim.inspect(want) then
    failures = failures + 1
    io.stderr:write(('FAIL: %s\n got: %s\nwant: %s\n'):format(what, vim.inspect(got), vim.inspect(want)))
  end
end

local dir = vim.fn.tempname()
vim.fn.mkdir(dir, 'p')
local file = dir .. '/cam.txt'
vim.fn.writefile({"SENSOR_ID='MT9P031'", "SENSOR_CTRL='I2C'", "SENSOR_VOUT='CCIR656_8'", "MD_SRC='ENCODER'",
                  "FWCAP_UNIT_TYPE='IP Camra'", "DN_SRC='DSP,'"}, file)
vim.cmd('edit ' .. file)
local buf = vim.api.nvim_get_current_buf()
local client = vim.lsp.start_client({ name = 'devcap', cmd = { os.getenv('DEVCAP_LSP') }, root_dir = dir })
vim.lsp.buf_attach_client(buf, client)
vim.wait(10000, function() return #vim.diagnostic.get(buf) > 0 end, 20)

local found = {}
for _, d in ipairs(vim.diagnostic.get(buf)) do
  table.insert(found, { d.lnum, d.col, d.severity, d.code or (d.user_data and d.user_data.lsp.code) })
end
table.sort(found, function(a, b) return a[1] < b[1] end)
check('diagnostics', found, { { 4, 17, vim.diagnostic.severity.ERROR, 'bad-value' },
                              { 5, 12, vim.diagnostic.severity.ERROR, 'bad-value' } })

local uri = vim.uri_from_bufnr(buf)
local labels = {}
local answer = vim.lsp.buf_request_sync(buf, 'textDocument/completion',
  { textDocument = { uri = uri }, position = { line = 5, character = 12 } }, 10000)
for _, r in pairs(answer or {}) do
  for _, item in ipairs(r.result.items or r.result) do table.insert(labels, item.label) end
end
check('completion in a list', labels, { 'CDS' })

answer = vim.lsp.buf_request_sync(buf, 'textDocument/codeAction', { textDocument = { uri = uri },
  range = { start = { line = 4, character = 0 }, ['end'] = { line = 4, character = 0 } },
  context = { diagnostics = {} } }, 10000)
local action
for _, r in pairs(answer or {}) do action = action or (r.result or {})[1] end
check('code action', action and action.title, "Replace 'IP Camra' with 'IP Camera'")
if action then vim.lsp.util.apply_workspace_edit(action.edit, 'utf-16') end
check('the buffer after the action', vim.api.nvim_buf_get_lines(buf, 4, 5, false), { "FWCAP_UNIT_TYPE='IP Camera'" })
-- The change reaches the server: the mended line has no diagnostic left.
vim.wait(10000, function() return #vim.diagnostic.get(buf, { lnum = 4 }) == 0 end, 20)
check('diagnostics after the action', #vim.diagnostic.get(buf, { lnum = 4 }), 0)

vim.lsp.stop_client(client)
vim.fn.delete(dir, 'rf')
print(failures == 0 and 'neovim: passed' or ('neovim: %d failed'):format(failures))
vim.cmd(failures == 0 and 'qall!' or 'cquit 1')
