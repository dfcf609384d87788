-- devcap-lsp with a real editor as its client: Neovim (headless), its own LSP
-- client. A text with a misspelt unit type gets its diagnostic on the right
-- line (a non-ASCII one's range ends at its closing quote), completion offers
-- the keywords, the did-you-mean code action mends the buffer, and a fix that
-- uncovers another is followed by the next.
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
vim.fn.writefile({"SENSOR_ID='MT9P031'", "SENSOR_CTRL='I2C'", "SENSOR_VOUT='CCIR656_8'", "MD_SRC=ENCODR",
                  "FWCAP_UNIT_TYPE='IP Camra'", "DN_SRC='DSP,'", "FWCAP_UNIT_TYPE='éIP Camra'"}, file)
vim.cmd('edit ' .. file)
local buf = vim.api.nvim_get_current_buf()
local client = vim.lsp.start_client({ name = 'devcap', cmd = { os.getenv('DEVCAP_LSP') }, root_dir = dir })
vim.lsp.buf_attach_client(buf, client)
vim.wait(10000, function() return #vim.diagnostic.get(buf) > 0 end, 20)

local E, W = vim.diagnostic.severity.ERROR, vim.diagnostic.severity.WARN
local found = {}
for _, d in ipairs(vim.diagnostic.get(buf)) do
  -- Columns are bytes here: Neovim converts the server's UTF-16 ranges.
  table.insert(found, { d.lnum, d.col, d.lnum == 6 and d.end_col or nil, d.severity,
                        d.code or (d.user_data and d.user_data.lsp.code) })
end
table.sort(found, function(a, b) return a[1] * 1000 + a[2] + a[4] < b[1] * 1000 + b[2] + b[4] end)
-- On the last line: the name, bytes 0 to 15; 'é', bytes 17 and 18; the value, from 17 up to 27, its
-- closing quote.
check('diagnostics', found, { { 3, 7, nil, W, 'quote' }, { 3, 8, nil, E, 'bad-value' }, { 4, 17, nil, E, 'bad-value' },
                              { 5, 12, nil, E, 'bad-value' }, { 6, 0, 15, W, 'duplicate' },
                              { 6, 17, 27, E, 'bad-value' }, { 6, 17, 19, W, 'encoding' } })

local uri = vim.uri_from_bufnr(buf)
-- The first code action on line (from 0), applied; its title.
local function act(line)
  local answer = vim.lsp.buf_request_sync(buf, 'textDocument/codeAction', { textDocument = { uri = uri },
    range = { start = { line = line, character = 0 }, ['end'] = { line = line, character = 0 } },
    context = { diagnostics = {} } }, 10000)
  local action
  for _, r in pairs(answer or {}) do action = action or (r.result or {})[1] end
  if action then vim.lsp.util.apply_workspace_edit(action.edit, 'utf-16') end
  return action and action.title
end
local labels = {}
local answer = vim.lsp.buf_request_sync(buf, 'textDocument/completion',
  { textDocument = { uri = uri }, position = { line = 5, character = 12 } }, 10000)
for _, r in pairs(answer or {}) do
  for _, item in ipairs(r.result.items or r.result) do table.insert(labels, item.label) end
end
check('completion in a list', labels, { 'CDS' })

check('code action', act(4), "Replace 'IP Camra' with 'IP Camera'")
check('the buffer after the action', vim.api.nvim_buf_get_lines(buf, 4, 5, false), { "FWCAP_UNIT_TYPE='IP Camera'" })
-- The change reaches the server: the mended line has no diagnostic left.
vim.wait(10000, function() return #vim.diagnostic.get(buf, { lnum = 4 }) == 0 end, 20)
check('diagnostics after the action', #vim.diagnostic.get(buf, { lnum = 4 }), 0)
-- The quotes, then the value they uncover.
act(3)
vim.wait(10000, function() return #vim.diagnostic.get(buf, { lnum = 3 }) == 1 end, 20)
check('the next fix', act(3), "Replace 'ENCODR' with 'ENCODER'")
check('the buffer after the chain', vim.api.nvim_buf_get_lines(buf, 3, 4, false), { "MD_SRC='ENCODER'" })

vim.lsp.stop_client(client)
vim.fn.delete(dir, 'rf')
print(failures == 0 and 'neovim: passed' or ('neovim: %d failed'):format(failures))
vim.cmd(failures == 0 and 'qall!' or 'cquit 1')
