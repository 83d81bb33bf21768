#!/usr/bin/perl
# check_prp_hsr's answer as Debian's libmonitoring-plugin-perl reads it, the
# library many plugins and their tools are written with.  The thresholds
# given on the plugin's command line are taken by Monitoring::Plugin::Threshold
# (one it refuses makes a plugin of that library end UNKNOWN, 3); every
# performance datum of the status line parses with
# Monitoring::Plugin::Performance, its label and unit the plugin's; the
# thresholds written in a datum are those given, where that parser reads
# them (it reads no @ and no range without a start), or none for the links
# lost during the look, which only the verdict judges; and the thresholds
# given, applied to the data they are for, give STATUS at worst.  The lines
# after the status line, the long output, hold no bar.  Prints what is
# wrong, and ends with 1 when anything is.
# Usage: perfdata.pl STATUS [PLUGIN ARGUMENT...] <OUTPUT
use strict;
use warnings;
use Getopt::Long qw(GetOptionsFromArray);
use Monitoring::Plugin::Functions qw(max_state_alt);
use Monitoring::Plugin::Performance;
use Monitoring::Plugin::Range;
use Monitoring::Plugin::Threshold;

my ($want, @arguments) = @ARGV;
# Without -w and -W, the boards' verdict: beyond the mark, any error; a link
# lost since the last check warns, three are critical.
my %given = (w => '5', W => '0', lw => '0', lc => '2');
Getopt::Long::Configure(qw(no_ignore_case bundling pass_through));
GetOptionsFromArray(\@arguments, 'w|warning=s' => \$given{w}, 'c|critical=s' => \$given{c},
    'W|errors-warning=s' => \$given{W}, 'C|errors-critical=s' => \$given{C},
    'losses-warning=s' => \$given{lw}, 'losses-critical=s' => \$given{lc});

my @problems;
my $output = do { local $/; <STDIN> };
my $state;
my %limits;
my @refused = do {
    local $SIG{__WARN__} = sub { }; # its own words on a range it refuses
    grep { defined $given{$_} && !defined Monitoring::Plugin::Range->parse_range_string($given{$_}) }
        sort keys %given;
};
if (!@refused) {
    %limits = (
        divergence => Monitoring::Plugin::Threshold->set_thresholds(
            warning => $given{w}, critical => $given{c}),
        errors => Monitoring::Plugin::Threshold->set_thresholds(
            warning => $given{W}, critical => $given{C}),
        link_losses => Monitoring::Plugin::Threshold->set_thresholds(
            warning => $given{lw}, critical => $given{lc}));
}
if (!%limits) {
    $state = 3; # as Monitoring::Plugin ends for a range it cannot parse
} elsif ($output !~ /\APRP-HSR (?:OK|WARNING|CRITICAL|UNKNOWN) - [^|\n]+?(?: \| ([^|\n]+))?\n(?:[^|\n]+\n)*\z/) {
    push @problems, "not a status line and the long output: $output";
} else {
    my $data = $1 // '';
    my @written = split / /, $data;
    my @parsed = Monitoring::Plugin::Performance->parse_perfstring($data);
    push @problems, scalar(@parsed) . " of the " . scalar(@written) . " data parse"
        if @parsed != @written;
    my %units = (rx => '', tx => '', rx_divergence => '%', tx_divergence => '%', errors => '',
        link_losses => '');
    $state = 0;
    for my $datum (@parsed) {
        my $label = $datum->label;
        if ($label !~ /^board-?\d+_([a-z_]+?)[AB]?$/ || !exists $units{$1}) {
            push @problems, "no such datum: $label";
            next;
        }
        my $kind = $1;
        push @problems, "$label in '" . $datum->uom . "'" if $datum->uom ne $units{$kind};
        my ($warning, $critical) = $kind =~ /divergence/ ? qw(w c)
                                   : $kind eq 'errors'  ? qw(W C)
                                   : $kind eq 'link_losses' ? qw(lw lc) : ();
        next unless $warning;
        # The links lost during the look: no thresholds, none applied.
        next if $kind eq 'link_losses' && !defined $datum->warning && !defined $datum->critical;
        # The parser reads no further than a range it cannot read.
        my $readable = !grep { ($given{$_} // '') =~ /^[\@:]/ } ($warning, $critical);
        for ([$warning, $datum->warning], [$critical, $datum->critical]) {
            my ($option, $written) = @$_;
            my $range = $given{$option} // '';
            push @problems, "$label: -$option " . ($written // '') . ", not $range"
                if $readable && ($written // '') ne $range;
        }
        my $limit = $kind =~ /divergence/ ? $limits{divergence} : $limits{$kind};
        $state = max_state_alt($state, $limit->get_status($datum->value));
    }
}
push @problems, "the thresholds give $state, not $want" if defined $state && $state != $want;
print "$_\n" for @problems;
exit(@problems ? 1 : 0);
