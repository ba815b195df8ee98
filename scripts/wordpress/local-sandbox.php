<?php
/*
 * Plugin Name: Local sandbox
 * Description: Keeps the loopback WordPress of the tests and the demo off the network and its answers clean.
 */

// Outgoing requests (pingbacks, update checks, oEmbed, remote images) go only
// to loopback addresses; everything else fails at once instead of timing out.
add_filter(
	'pre_http_request',
	function ( $pre, $args, $url ) {
		$host = trim( (string) wp_parse_url( $url, PHP_URL_HOST ), '[]' );
		if ( 'localhost' === $host || '::1' === $host || preg_match( '/^127\.\d{1,3}\.\d{1,3}\.\d{1,3}$/', $host ) ) {
			return $pre;
		}
		return new WP_Error( 'http_request_blocked', 'Outgoing HTTP is limited to loopback on this site.' );
	},
	1,
	3
);

// Nothing to ping, no pingbacks, no mail.
add_filter( 'pre_option_ping_sites', '__return_empty_string' );
add_filter( 'pre_option_default_pingback_flag', '__return_zero' );
add_filter( 'pre_wp_mail', '__return_false' );
add_filter( 'enable_post_by_email_configuration', '__return_false' );

// The tests and the demo publish through XML-RPC...
add_filter( 'xmlrpc_enabled', '__return_true' );

// ...unless `wordpress.sh xmlrpc` blocked it, as hosts and security plug-ins
// do: "403" answers a forbidden HTML page, "fault" switches XML-RPC off
// (WordPress's fault 405). The REST API stays open either way.
$local_sandbox_block = WP_CONTENT_DIR . '/xmlrpc-blocked';
if ( defined( 'XMLRPC_REQUEST' ) && XMLRPC_REQUEST && is_file( $local_sandbox_block ) ) {
	if ( 'fault' === trim( (string) file_get_contents( $local_sandbox_block ) ) ) {
		add_filter( 'xmlrpc_enabled', '__return_false', 20 );
	} else {
		status_header( 403 );
		header( 'Content-Type: text/html; charset=UTF-8' );
		echo "<!DOCTYPE html>\n<html><head><title>403 Forbidden</title></head><body><h1>Forbidden</h1>";
		echo '<p>Access to xmlrpc.php is blocked on this site.</p></body></html>';
		exit;
	}
}

// Pages name no outside host, so a browser rendering them offline never waits:
// no emoji script from the CDN, no avatars, no resource hints.
remove_action( 'wp_head', 'print_emoji_detection_script', 7 );
remove_action( 'wp_print_styles', 'print_emoji_styles' );
remove_action( 'admin_print_scripts', 'print_emoji_detection_script' );
remove_action( 'admin_print_styles', 'print_emoji_styles' );
add_filter( 'emoji_svg_url', '__return_false' );
add_filter( 'wp_resource_hints', '__return_empty_array' );
add_filter( 'pre_option_show_avatars', '__return_zero' );

// Belt and braces beside display_errors=0: no notice inside an answer.
@ini_set( 'display_errors', '0' );
