;;; emacs_test.el --- devcap-lsp with Emacs and eglot as its client, in batch mode.
;; A line with non-ASCII text gets the diagnostic on its value, closing quote
;; left out, and the did-you-mean code action mends the buffer.
;; usage: DEVCAP_LSP=path/to/devcap-lsp emacs -Q --batch -l emacs_test.el
(add-to-list (quote package-directory-list) "/usr/share/emacs/site-lisp/elpa")  ; Debian's elpa-eglot
(package-initialize)
(require 'eglot)
(require 'cl-lib)

(defvar failures 0)
(defun check (what got want)
  (unless (equal got want)
    (setq failures (1+ failures))
    (message "FAIL: %s\n got: %S\nwant: %S" what got want)))

(define-derived-mode devcap-mode prog-mode "devcap")
(add-to-list 'eglot-server-programs `(devcap-mode ,(getenv "DEVCAP_LSP")))
(setq eglot-confirm-server-initiated-edits nil)

(defun wait-for (predicate)
  (cl-loop repeat 500 until (funcall predicate)
           do (flymake-start) (accept-process-output nil 0.02)))

(let* ((dir (make-temp-file "devcap-emacs" t))
       (file (expand-file-name "cam.txt" dir)))
  (with-temp-file file
    (insert "MD_SRC='ENCODER'\nFWCAP_UNIT_TYPE='IP Camra'\nFWCAP_UNIT_TYPE='éIP Camra'\n"))
  (with-current-buffer (find-file-noselect file)
    (devcap-mode)
    (apply #'eglot--connect (eglot--guess-contact))
    (wait-for (lambda () (= (length (flymake-diagnostics)) 4)))
    (check "diagnostics"
           (sort (mapcar (lambda (d)
                           (list (line-number-at-pos (flymake-diagnostic-beg d))
                                 (buffer-substring-no-properties (flymake-diagnostic-beg d)
                                                                 (flymake-diagnostic-end d))
                                 (flymake-diagnostic-type d)))
                         (flymake-diagnostics))
                 (lambda (a b) (string< (format "%S" a) (format "%S" b))))
           '((2 "IP Camra" eglot-error) (3 "FWCAP_UNIT_TYPE" eglot-warning) (3 "é" eglot-warning)
             (3 "éIP Camra" eglot-error)))
    (goto-char (point-min))
    (forward-line 1)
    (let ((action (car (eglot-code-actions (point) (point)))))
      (check "code action" (plist-get action :title) "Replace 'IP Camra' with 'IP Camera'")
      (eglot--apply-workspace-edit (plist-get action :edit)))
    (check "the buffer after the action" (buffer-substring-no-properties (point) (line-end-position))
           "FWCAP_UNIT_TYPE='IP Camera'")
    (set-buffer-modified-p nil)
    (eglot-shutdown (eglot-current-server)))
  (delete-directory dir t))

(message (if (= failures 0) "emacs: passed" (format "emacs: %d failed" failures)))
(kill-emacs (if (= failures 0) 0 1))
