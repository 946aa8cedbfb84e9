# fish completion for tonalyx-plot: options first, then INPUT.wav,
# OUTPUT.png and, without --hz, LENGTH.
function __tonalyx_plot_names
    set -l names 0
    set -l options yes
    for word in (commandline -opc)[2..-1]
        if test -n "$options"; and contains -- $word --hz --help
            continue
        else if test -n "$options"; and test "$word" = --
            set options ''
        else
            set options ''
            set names (math $names + 1)
        end
    end
    echo $names
end
complete -c tonalyx-plot -f
complete -c tonalyx-plot -n 'test (__tonalyx_plot_names) = 0' -k -a '(__fish_complete_suffix .wav)'
complete -c tonalyx-plot -n 'test (__tonalyx_plot_names) = 1' -k -a '(__fish_complete_suffix .png)'
complete -c tonalyx-plot -n 'test (__tonalyx_plot_names) = 0' -l hz -d 'Draw the measurement: spectrum and envelope'
complete -c tonalyx-plot -n 'test (__tonalyx_plot_names) = 0' -l help -d 'The usage'
