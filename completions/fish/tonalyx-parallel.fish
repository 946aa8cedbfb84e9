# fish completion for tonalyx-parallel: --names LIST, -0, then the shares.
complete -c tonalyx-parallel -l names -r -F -d 'The list of the files, one a line'
complete -c tonalyx-parallel -o 0 -d 'The list separated by NUL bytes'
