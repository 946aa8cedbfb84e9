# fish completion for tonalyx.
complete -c tonalyx -f
complete -c tonalyx -o hz -d 'Measure the tone: tone, Hz, purity, level, start, end, thd, snr, ...'
complete -c tonalyx -o segments -d 'With -hz: a line per stretch of tone first'
complete -c tonalyx -o pictures -d 'With -hz: the data of the spectrum and envelope after the line'
complete -c tonalyx -o i -r -F -k -a '(__fish_complete_suffix .wav)' -d 'The WAVE file to read'
complete -c tonalyx -o length -x -d 'The sample slots to analyse (1 to 4096)'
complete -c tonalyx -o v -d 'Trace every step'
complete -c tonalyx -o gnuplot -d 'List the scaled slots as index value lines'
complete -c tonalyx -o valuelist -d 'List the number of slots, then one slot a line'
